// What the quiz window's layout tables promise, checked when the program is
// compiled: a row that breaks a promise fails the build, not a session.
#include "quizwindow/FranceLayout.h"

#include "quiz/Catalogue.h"

#include <string_view>

namespace varnelle::layout {

namespace {

// Inside the map box's inner area, which counts kCarteScale's units.
constexpr bool onTheMap(TwipRect rect)
{
    return rect.left >= 0 && rect.top >= 0 && rect.width > 0 && rect.height > 0 &&
           rect.left + rect.width <= kCarteScale.unitsX && rect.top + rect.height <= kCarteScale.unitsY;
}

constexpr bool everyBoxOnTheMap()
{
    for (const AnswerBoxRow& row : kAnswerBoxes) {
        if (!onTheMap(row.rect))
            return false;
    }
    for (const RewardPictureRow& row : kRewardPictures) {
        if (!onTheMap(row.rect))
            return false;
    }
    return onTheMap(kDepart.rect);
}

// Compared in pixels, as they are drawn: a picture hides its box whole only
// if it covers every pixel of it.
constexpr bool covers(TwipRect outer, TwipRect inner)
{
    const QRect o = toPixels(outer, kCarteScale);
    const QRect i = toPixels(inner, kCarteScale);
    return o.left() <= i.left() && o.top() <= i.top() && i.right() <= o.right() && i.bottom() <= o.bottom();
}

// Each reward picture lies over its own target's box and covers it, is the
// picture that the catalogue names for that target, and no target has two.
constexpr bool picturesCoverTheirBoxes()
{
    int rewarded = 0;
    for (const catalogue::Target& target : catalogue::kTargets)
        rewarded += target.rewardPicture != catalogue::kHideBox;
    if (rewarded != static_cast<int>(kRewardPictures.size()))
        return false;
    for (const RewardPictureRow& row : kRewardPictures) {
        if (row.covers < 1 || row.covers > catalogue::kTargetCount)
            return false;
        const char* named = catalogue::target(row.covers).rewardPicture;
        if (named == catalogue::kHideBox || std::string_view(named) != row.name)
            return false;
        if (!covers(row.rect, kAnswerBoxes[static_cast<std::size_t>(row.covers - 1)].rect))
            return false;
    }
    return true;
}

// Every painted layer names a label or a line, and every label and line is
// painted once.
constexpr bool everyLayerNamesOneRow()
{
    std::array<int, kLabels.size()> labels{};
    std::array<int, kLines.size()> lines{};
    for (const PaintedRow& row : kPaintedRows) {
        switch (row.table) {
        case PaintedRow::Table::Labels:
            ++labels[row.index];
            break;
        case PaintedRow::Table::Lines:
            ++lines[row.index];
            break;
        case PaintedRow::Table::None:
            return false;
        }
    }
    for (int times : labels) {
        if (times != 1)
            return false;
    }
    for (int times : lines) {
        if (times != 1)
            return false;
    }
    return true;
}

// The tab chain of the map box's children has no two controls at one place.
constexpr bool tabIndicesUnique()
{
    std::array<int, 2 + kAnswerBoxes.size() + kRewardPictures.size() + kLabels.size()> indices{};
    std::size_t count = 0;
    indices[count++] = kCarteTabIndex;
    indices[count++] = kDepart.tabIndex;
    for (const AnswerBoxRow& row : kAnswerBoxes)
        indices[count++] = row.tabIndex;
    for (const RewardPictureRow& row : kRewardPictures)
        indices[count++] = row.tabIndex;
    for (const LabelRow& row : kLabels)
        indices[count++] = row.tabIndex;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        for (std::size_t j = i + 1; j < indices.size(); ++j) {
            if (indices[i] == indices[j])
                return false;
        }
    }
    return true;
}

static_assert(catalogue::numberedInOrder(kAnswerBoxes) &&
                  static_cast<int>(kAnswerBoxes.size()) == catalogue::kTargetCount,
              "answer box n must be row n, one box per target");
static_assert(everyBoxOnTheMap(), "an answer box, reward picture or DEPART lies off the map");
static_assert(picturesCoverTheirBoxes(), "a reward picture does not cover the box of the target it rewards");
static_assert(everyLayerNamesOneRow(), "every label and line must be painted once, by its name");
static_assert(tabIndicesUnique(), "two controls of the map box share a tab index");

} // namespace

} // namespace varnelle::layout
