// Writes the program's layout as JSON into the file it is given, for the
// scripts that play, picture, draw or package it: the application id, every
// window's title and client size, every control of the quiz window in pixels,
// the themes and the targets' captions, and the classes of the relief map's
// mask.
// It is built from the very tables and conversion the windows are built from,
// so a script reads the numbers the program uses instead of parsing headers.
#include "auxwindows/CoupeVainqueur.h"
#include "auxwindows/Erreur.h"
#include "auxwindows/VillesDeFrance.h"
#include "quiz/Catalogue.h"
#include "quiz/France.h"
#include "quizwindow/CarteClasses.h"
#include "quizwindow/FranceLayout.h"
#include "shell/Application.h"
#include "shell/Bonjour.h"
#include "shell/BonjourLayout.h"
#include "shell/Controls.h"
#include "shell/FormSpec.h"
#include "shell/Twips.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>

#include <algorithm>

using namespace varnelle;

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QJsonArray rectArray(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QJsonObject window(const FormSpec& form)
{
    const QSize client = form.clientPixels();
    return {{QStringLiteral("title"), text(form.caption)},
            {QStringLiteral("client"), QJsonArray{client.width(), client.height()}}};
}

// A child of the map box: where it lies on the map (the map box's inner area,
// whose top-left pixel is the map's) and in the quiz window's client area,
// past the map box's sunken border.
QJsonObject onCarte(QJsonObject control, TwipRect rect)
{
    const QRect map = toPixels(rect, layout::kCarteScale);
    const QPoint border(PictureBox::kBorder, PictureBox::kBorder);
    control.insert(QStringLiteral("map"), rectArray(map));
    control.insert(QStringLiteral("client"), rectArray(map.translated(border)));
    return control;
}

QJsonObject carte()
{
    using namespace layout;
    const QRect outer = toPixels(kCarte);
    const ScaleMode& scale = kCarteScale;
    QJsonArray boxes;
    for (const AnswerBoxRow& row : kAnswerBoxes)
        boxes.append(onCarte({{QStringLiteral("number"), row.number}}, row.rect));
    QJsonArray pictures;
    for (const RewardPictureRow& row : kRewardPictures)
        pictures.append(
            onCarte({{QStringLiteral("name"), text(row.name)}, {QStringLiteral("covers"), row.covers}}, row.rect));
    QJsonArray labels;
    for (const LabelRow& row : kLabels)
        labels.append(onCarte(
            {{QStringLiteral("name"), text(row.name)}, {QStringLiteral("caption"), text(row.caption)}}, row.rect));
    QJsonArray lines;
    for (const LineRow& row : kLines) {
        const QPoint from = toPixels(row.x1, row.y1, scale);
        const QPoint to = toPixels(row.x2, row.y2, scale);
        lines.append(QJsonObject{{QStringLiteral("name"), text(row.name)},
                                 {QStringLiteral("width"), row.widthPixels},
                                 {QStringLiteral("map"), QJsonArray{from.x(), from.y(), to.x(), to.y()}}});
    }
    return {
        {QStringLiteral("rect"), rectArray(outer)},
        {QStringLiteral("border"), PictureBox::kBorder},
        {QStringLiteral("scale"), QJsonObject{{QStringLiteral("x"), QJsonArray{scale.unitsX, scale.twipsX}},
                                              {QStringLiteral("y"), QJsonArray{scale.unitsY, scale.twipsY}}}},
        {QStringLiteral("boxes"), boxes},
        {QStringLiteral("pictures"), pictures},
        {QStringLiteral("labels"), labels},
        {QStringLiteral("lines"), lines},
        {QStringLiteral("depart"),
         onCarte({{QStringLiteral("name"), text(kDepart.name)}, {QStringLiteral("caption"), text(kDepart.caption)}},
                 kDepart.rect)},
    };
}

QJsonArray themes()
{
    QJsonArray themes;
    for (const catalogue::Theme& theme : catalogue::kThemes)
        themes.append(QJsonObject{{QStringLiteral("first"), theme.first},
                                  {QStringLiteral("last"), theme.last},
                                  {QStringLiteral("title"), text(theme.title)},
                                  {QStringLiteral("departWhenDone"), text(theme.departWhenDone)}});
    return themes;
}

QJsonArray targets()
{
    QJsonArray targets;
    for (const catalogue::Target& target : catalogue::kTargets)
        targets.append(QJsonObject{{QStringLiteral("number"), target.number},
                                   {QStringLiteral("theme"), target.theme},
                                   {QStringLiteral("caption"), text(target.caption)}});
    return targets;
}

// Whether a value fits on one line: numbers, texts, a rectangle, a row of a
// table; a table itself, such as the mask's classes, takes a line a row.
bool isFlat(const QJsonValue& value)
{
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(),
                           [](const QJsonValue& v) { return !v.isArray() && !v.isObject(); });
    }
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        return object.size() <= 8 && std::all_of(object.begin(), object.end(), [](const QJsonValue& v) {
                   return !v.isObject() && (!v.isArray() || isFlat(v));
               });
    }
    return true;
}

QByteArray compact(const QJsonValue& value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// One control, one theme or one target a line, so that a change of the layout
// shows in a diff of the committed copy as the rows it changed.
QByteArray format(const QJsonValue& value, int depth = 0)
{
    if (isFlat(value))
        return compact(value);
    const QByteArray inner(4 * (depth + 1), ' ');
    QByteArrayList items;
    if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            items.append(inner + format(item, depth + 1));
    } else {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            items.append(inner + compact(it.key()) + ": " + format(it.value(), depth + 1));
    }
    const QByteArray brackets = value.isArray() ? "[]" : "{}";
    return brackets[0] + QByteArray("\n") + items.join(",\n") + "\n" + QByteArray(4 * depth, ' ') + brackets[1];
}

QJsonObject maskClasses()
{
    QJsonObject classes;
    for (const mask::NamedClass& named : mask::kClasses)
        classes.insert(text(named.name), named.value);
    return classes;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    const QJsonObject layout{
        {QStringLiteral("applicationId"), text(kApplicationId)},
        {QStringLiteral("windows"), QJsonObject{{QStringLiteral("Bonjour"), window(layout::kBonjourForm)},
                                                {QStringLiteral("France"), window(layout::kFranceForm)},
                                                {QStringLiteral("Erreur"), window(kErreurForm)},
                                                {QStringLiteral("VillesDeFrance"), window(kVillesForm)},
                                                {QStringLiteral("CoupeVainqueur"), window(kCoupeForm)}}},
        {QStringLiteral("question"), QJsonObject{{QStringLiteral("title"), text(kRevisionTitle)}}},
        {QStringLiteral("carte"), carte()},
        {QStringLiteral("themes"), themes()},
        {QStringLiteral("targets"), targets()},
        {QStringLiteral("maskClasses"), maskClasses()},
    };
    const QByteArray json = format(layout) + '\n';
    QFile out(QString::fromLocal8Bit(argv[1]));
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(json) == json.size() ? 0 : 1;
}
