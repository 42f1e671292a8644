// Varnelle: the quiz window's layout, one row per control, in the stored units.
//
// Positions of the map box's children are in the map box's own scale
// (kCarteScale); everything else is in twips. The rows follow the order in
// which the controls were designed; the drawing order is kPaintedLayers.
#pragma once

#include "shell/Controls.h"
#include "shell/FormSpec.h"
#include "shell/Twips.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace varnelle::layout {

inline constexpr const char* kFranceCaption =
    "    Varnelle par Brindaz - Evaluation des connaissances g\u00e9ographiques ";
inline constexpr FormSpec kFranceForm{kFranceCaption, 14250, 12915, ":/icons/varnelle.ico"};

inline constexpr TwipRect kCarte{0, 0, 14295, 12975};
inline constexpr int kCarteTabIndex = 0;
// The map box counts 12900 units down an inner area 12915 twips high.
inline constexpr ScaleMode kCarteScale{14235, 14235, 12900, 12915};
inline constexpr const char* kCarteImage = ":/map/carte.jpg";

struct AnswerBoxRow {
    int number;
    TwipRect rect;
    Colour back;
    Colour fore;
    int tabIndex;
    const char* caption;
};

// clang-format off
inline constexpr std::array<AnswerBoxRow, 54> kAnswerBoxes{{
    {1, {13680, 2280, 200, 200}, kRed, kRed, 5, "Check1"},
    {2, {9120, 840, 200, 200}, kRed, kRed, 6, "Check1"},
    {3, {3480, 12360, 200, 200}, kRed, kButtonText, 7, "Check3"},
    {4, {4680, 120, 200, 200}, kRed, kButtonText, 8, "Check4"},
    {5, {13080, 8160, 200, 200}, kRed, kButtonText, 9, "Check5"},
    {6, {10560, 2040, 200, 200}, kRed, kButtonText, 10, "Check6"},
    {7, {11760, 6480, 200, 200}, kRed, kButtonText, 11, "Check7"},
    {8, {3240, 8640, 200, 200}, kNavy, kButtonText, 29, "Check8"},
    {9, {4560, 1380, 200, 200}, kNavy, kButtonText, 30, "Check9"},
    {10, {9120, 12240, 200, 200}, kNavy, kButtonText, 31, "Check10"},
    {11, {6720, 120, 200, 200}, kButtonFace, kButtonText, 32, "Check11"},
    {12, {4920, 9840, 200, 200}, kButtonFace, kButtonText, 37, "Check12"},
    {13, {7320, 5040, 200, 200}, kButtonFace, kButtonText, 38, "Check13"},
    {14, {12000, 4200, 200, 200}, kButtonFace, kButtonText, 39, "Check14"},
    {15, {9600, 8760, 200, 200}, kButtonFace, kButtonText, 40, "Check15"},
    {16, {6720, 3240, 200, 200}, kButtonFace, kButtonText, 41, "Check16"},
    {17, {11520, 7680, 200, 200}, kButtonFace, kButtonText, 42, "Check17"},
    {18, {13320, 11280, 200, 200}, kButtonFace, kButtonText, 43, "Check18"},
    {19, {10440, 7320, 200, 200}, kButtonFace, kButtonText, 44, "Check19"},
    {20, {7680, 8040, 200, 200}, kButtonFace, kButtonText, 47, "Check20"},
    {21, {4800, 12360, 200, 200}, kButtonFace, kButtonText, 45, "Check21"},
    {22, {11400, 4560, 200, 200}, kButtonFace, kButtonText, 46, "Check22"},
    {23, {13200, 11880, 200, 200}, kButtonFace, kButtonText, 48, "Check23"},
    {24, {7200, 1920, 200, 200}, kButtonFace, kButtonText, 49, "Check24"},
    {25, {9600, 11040, 200, 200}, kButtonFace, kButtonText, 50, "Check25"},
    {26, {13800, 10800, 200, 200}, kButtonFace, kButtonText, 51, "Check26"},
    {27, {3360, 11520, 200, 200}, kButtonFace, kButtonText, 52, "Check27"},
    {28, {10560, 5760, 200, 200}, kButtonFace, kButtonText, 53, "Check28"},
    {29, {4320, 9480, 200, 200}, kButtonFace, kButtonText, 54, "Check29"},
    {30, {720, 3840, 200, 200}, kButtonFace, kButtonText, 55, "Check30"},
    {31, {7920, 8040, 200, 195}, kButtonFace, kButtonText, 56, "Check31"},
    {32, {9720, 5280, 200, 200}, kButtonFace, kButtonText, 57, "Check32"},
    {33, {10440, 8760, 200, 200}, kButtonFace, kButtonText, 58, "Check33"},
    {34, {5280, 2400, 200, 200}, kButtonFace, kButtonText, 59, "Check34"},
    {35, {7800, 720, 200, 200}, kButtonFace, kButtonText, 60, "Check35"},
    {36, {6240, 7920, 200, 200}, kButtonFace, kButtonText, 61, "Check36"},
    {37, {9600, 7920, 200, 200}, kButtonFace, kButtonText, 62, "Check37"},
    {38, {10320, 11520, 200, 200}, kButtonFace, kButtonText, 63, "Check38"},
    {39, {10680, 3600, 200, 200}, kButtonFace, kButtonText, 64, "Check39"},
    {40, {8880, 11160, 200, 200}, kButtonFace, kButtonText, 65, "Check40"},
    {41, {11040, 4440, 200, 200}, kButtonFace, kButtonText, 66, "Check41"},
    {42, {3480, 5880, 200, 200}, kButtonFace, kButtonText, 67, "Check42"},
    {43, {12120, 10800, 200, 200}, kButtonFace, kButtonText, 68, "Check43"},
    {44, {9240, 10800, 200, 200}, kButtonFace, kButtonText, 69, "Check44"},
    {45, {6840, 4800, 200, 200}, kButtonFace, kButtonText, 70, "Check45"},
    {46, {7200, 3480, 200, 200}, kButtonFace, kButtonText, 71, "Check46"},
    {47, {5280, 6840, 200, 200}, kButtonFace, kButtonText, 72, "Check47"},
    {48, {3480, 4440, 200, 200}, kButtonFace, kButtonText, 73, "Check48"},
    {49, {6120, 2520, 200, 200}, kButtonFace, kButtonText, 74, "Check49"},
    {50, {9240, 8400, 200, 200}, kButtonFace, kButtonText, 75, "Check50"},
    {51, {2880, 5640, 200, 200}, kButtonFace, kButtonText, 76, "Check51"},
    {52, {12000, 3720, 200, 200}, kButtonFace, kButtonText, 77, "Check52"},
    {53, {10800, 11760, 200, 200}, kButtonFace, kButtonText, 78, "Check53"},
    {54, {6360, 11280, 200, 200}, kButtonFace, kButtonText, 79, "Check54"},
}};
// clang-format on

struct RewardPictureRow {
    const char* name;
    TwipRect rect;
    int tabIndex;
    int covers; // number of the answer box under the picture
    const char* bitmap;
};

// clang-format off
inline constexpr std::array<RewardPictureRow, 11> kRewardPictures{{
    {"DrapeauAllemand", {13200, 2040, 975, 615}, 15, 1, ":/rewards/DrapeauAllemand.bmp"},
    {"DrapeauBelge", {8760, 600, 975, 615}, 17, 2, ":/rewards/DrapeauBelge.bmp"},
    {"DrapeauESpagnol", {3120, 12000, 960, 640}, 21, 3, ":/rewards/DrapeauESpagnol.bmp"},
    {"DrapeauAnglais", {4320, 0, 960, 495}, 16, 4, ":/rewards/DrapeauAnglais.bmp"},
    {"DrapeauItalien", {12720, 8040, 960, 615}, 20, 5, ":/rewards/DrapeauItalien.bmp"},
    {"DrapeauLuxembourg", {10200, 1800, 975, 600}, 18, 6, ":/rewards/DrapeauLuxembourg.bmp"},
    {"DrapeauSuisse", {11520, 6000, 975, 975}, 19, 7, ":/rewards/DrapeauSuisse.bmp"},
    {"Voilier", {2760, 7920, 880, 1335}, 33, 8, ":/rewards/Voilier.bmp"},
    {"Coquille", {4320, 1080, 960, 950}, 35, 9, ":/rewards/Coquille.bmp"},
    {"Dauphin", {8760, 12000, 1180, 640}, 34, 10, ":/rewards/Dauphin.bmp"},
    {"Phoque", {6480, 0, 720, 370}, 36, 11, ":/rewards/Phoque.bmp"},
}};
// clang-format on

struct ButtonRow {
    const char* name;
    TwipRect rect;
    const char* caption;
    FontSpec font;
    Colour storedBack; // kept as designed; a standard push button does not paint it
    int tabIndex;
};

inline constexpr ButtonRow kDepart{
    "DEPART", {480, 1680, 2055, 1215}, "Clique ici pour commencer", {"Arial Rounded MT Bold", 14.25, true}, kGreen, 2};

inline constexpr FontSpec kDefaultFont{"MS Sans Serif", 8.25, false};

// clang-format off
inline constexpr std::array<LabelRow, 13> kLabels{{
    {"Test", {0, 0, 3255, 255}, kGreen, kNavy, {"Times New Roman", 12, true}, Align::Centre, "Evaluation effectu\u00e9e par", 4},
    {"NOM", {0, 240, 3255, 375}, kGreen, kBlack, {"Times New Roman", 11.25, true}, Align::Centre, "", 1},
    {"Rubrique", {120, 5880, 2535, 3735}, kLightCyan, kNavy, {"Times New Roman", 12, true}, Align::Left, "", 3},
    {"Label2", {0, 5880, 135, 3735}, kLightCyan, kButtonText, kDefaultFont, Align::Left, "", 28},
    {"Theme", {0, 10200, 2655, 495}, kGreen, kDarkNavy, {"Times New Roman", 14.25, true}, Align::Centre, "Th\u00e8me de travail :", 26},
    {"NomTheme", {0, 10680, 2655, 735}, kGreen, kNavy, {"Times New Roman", 14.25, true}, Align::Centre, "", 27},
    {"Demande", {0, 11760, 2655, 375}, kLightMagenta, kNavy, {"Times New Roman", 14.25, true}, Align::Centre, "Objectif \u00e0 trouver", 24},
    {"Objectif", {0, 12120, 2655, 735}, kLightMagenta, kBlack, {"Times New Roman", 14.25, true}, Align::Centre, "", 25},
    {"Notation", {11640, 0, 2535, 735}, kYellow, kNavy, {"Times New Roman", 12, true}, Align::Centre, "Progression du test   Item en cours", 12},
    {"Note", {11640, 720, 1095, 495}, kYellow, kRed, {"Times New Roman", 21.75, true}, Align::Centre, "0", 13},
    {"sur", {12720, 720, 1575, 495}, kYellow, kNavy, {"Times New Roman", 20.25, true}, Align::Centre, "sur 54 ", 14},
    {"Erreurs", {11640, 1200, 2625, 495}, kYellow, kButtonText, {"Times New Roman", 18, true}, Align::Centre, "Aucune erreur", 23},
    {"Label1", {11640, 360, 135, 15}, kButtonFace, kButtonText, kDefaultFont, Align::Left, "Label1", 22},
}};
// clang-format on

struct LineRow {
    const char* name;
    Colour colour;
    int widthPixels;
    int x1;
    int y1;
    int x2;
    int y2;
};

// clang-format off
inline constexpr std::array<LineRow, 14> kLines{{
    {"Line1", kNavy, 3, 11640, 600, 14280, 600},
    {"Line2", kNavy, 3, 11640, 1200, 14280, 1200},
    {"Line3", kNavy, 3, 11640, 0, 11640, 1680},
    {"Line4", kNavy, 3, 11640, 1680, 14280, 1680},
    {"Line6", kNavy, 3, 0, 12120, 2640, 12120},
    {"Line7", kNavy, 4, 2640, 11760, 2640, 12840},
    {"Line8", kNavy, 3, 2640, 11760, 0, 11760},
    {"Line9", kNavy, 3, 0, 10200, 2640, 10200},
    {"Line10", kNavy, 3, 2640, 10200, 2640, 11400},
    {"Line11", kNavy, 3, 0, 11400, 2640, 11400},
    {"Line12", kRed, 3, 0, 5880, 2640, 5880},
    {"Line13", kRed, 3, 0, 5880, 0, 9600},
    {"Line14", kRed, 3, 2640, 9600, 2640, 5880},
    {"Line15", kRed, 3, 0, 9600, 2640, 9600},
}};
// clang-format on

// The labels and lines from the top of the stack down: every line lies over the
// labels it frames, and of two labels that overlap by a pixel the earlier wins.
// clang-format off
inline constexpr std::array<std::string_view, 27> kPaintedLayers{
    "Line4", "Line3", "Line2", "Line1", "Note", "Line15", "Line14", "Line13", "Line12",
    "Label2", "Line11", "Line10", "Line9", "NomTheme", "Theme", "Line8", "Line7", "Line6",
    "Objectif", "Demande", "Erreurs", "Label1", "sur", "Notation", "Test", "Rubrique", "NOM",
};
// clang-format on

// Where the row of a painted layer stands: which table, which row.
struct PaintedRow {
    enum class Table : std::uint8_t { None, Labels, Lines };
    Table table = Table::None;
    std::size_t index = 0;
};

constexpr PaintedRow paintedRow(std::string_view name)
{
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        if (name == kLabels[i].name)
            return {PaintedRow::Table::Labels, i};
    }
    for (std::size_t i = 0; i < kLines.size(); ++i) {
        if (name == kLines[i].name)
            return {PaintedRow::Table::Lines, i};
    }
    return {};
}

// kPaintedLayers looked up once, when the program is compiled: the builder
// walks rows, never names, and FranceLayout.cpp checks that each names one.
inline constexpr std::array<PaintedRow, kPaintedLayers.size()> kPaintedRows = [] {
    std::array<PaintedRow, kPaintedLayers.size()> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = paintedRow(kPaintedLayers[i]);
    return rows;
}();

} // namespace varnelle::layout
