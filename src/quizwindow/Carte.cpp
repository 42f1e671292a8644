#include "quizwindow/Carte.h"

#include "quizwindow/FranceLayout.h"
#include "shell/Controls.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace varnelle {

using namespace layout;

namespace {

QRect onCarte(TwipRect rect)
{
    return toPixels(rect, kCarteScale);
}

QPoint onCarte(int x, int y)
{
    return toPixels(x, y, kCarteScale);
}

// Labels and lines are created bottom first, so that Qt's stacking of
// siblings (later above earlier) follows the drawing order.
void buildPaintedLayers(QWidget* surface, CarteControls& controls)
{
    const std::pair<std::string_view, Label**> named[] = {
        {"NOM", &controls.NOM},           {"Rubrique", &controls.Rubrique}, {"NomTheme", &controls.NomTheme},
        {"Objectif", &controls.Objectif}, {"Note", &controls.Note},         {"Erreurs", &controls.Erreurs},
    };

    for (auto layer = kPaintedRows.rbegin(); layer != kPaintedRows.rend(); ++layer) {
        if (layer->table == PaintedRow::Table::Lines) {
            const LineRow& row = kLines[layer->index];
            auto* line =
                new Line(surface, row.colour, row.widthPixels, onCarte(row.x1, row.y1), onCarte(row.x2, row.y2));
            line->setObjectName(QString::fromLatin1(row.name));
            continue;
        }
        const LabelRow& row = kLabels[layer->index];
        Label* label = addLabel(surface, row, kCarteScale);
        for (const auto& [name, pointer] : named) {
            if (name == row.name)
                *pointer = label;
        }
    }
}

} // namespace

CarteControls buildCarte(QWidget* window)
{
    CarteControls controls;
    controls.Carte = new PictureBox(window, kWhite, QString::fromLatin1(kCarteImage));
    controls.Carte->setObjectName(QStringLiteral("Carte"));
    controls.Carte->setGeometry(toPixels(kCarte));
    controls.Carte->setFocusPolicy(Qt::TabFocus);
    QWidget* surface = controls.Carte->inner();

    buildPaintedLayers(surface, controls);

    std::vector<std::pair<int, QWidget*>> tabOrder{{kCarteTabIndex, controls.Carte}};

    for (const AnswerBoxRow& row : kAnswerBoxes) {
        auto* box = new CheckBox(surface, row.back, row.fore, QString::fromLatin1(row.caption));
        box->setObjectName(QStringLiteral("Check%1").arg(row.number));
        box->setAccessibleName(QStringLiteral("Case %1").arg(row.number));
        box->setFont(fontFor(kDefaultFont));
        box->setGeometry(onCarte(row.rect));
        box->hide();
        controls.boxes.at(static_cast<std::size_t>(row.number - 1)) = box;
        tabOrder.emplace_back(row.tabIndex, box);
    }

    for (const RewardPictureRow& row : kRewardPictures) {
        auto* picture = new PictureBox(surface, kButtonFace, QString::fromLatin1(row.bitmap));
        picture->setObjectName(QString::fromLatin1(row.name));
        picture->setGeometry(onCarte(row.rect));
        picture->setFocusPolicy(Qt::TabFocus);
        picture->hide();
        controls.pictureOver.at(static_cast<std::size_t>(row.covers - 1)) = picture;
        tabOrder.emplace_back(row.tabIndex, picture);
    }

    controls.DEPART = new CommandButton(surface, kDepart.font);
    controls.DEPART->setObjectName(QString::fromLatin1(kDepart.name));
    controls.DEPART->setGeometry(onCarte(kDepart.rect));
    controls.DEPART->setCaption(QString::fromUtf8(kDepart.caption));
    tabOrder.emplace_back(kDepart.tabIndex, controls.DEPART);

    std::sort(tabOrder.begin(), tabOrder.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    return controls;
}

} // namespace varnelle
