// The scope beside the list: where it draws an aircraft, how it fades, how
// its selection and the list's follow each other, how emergencies stand out,
// and how its place and range are kept.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QShortcut>
#include <QTest>
#include <QWheelEvent>

#include "CoreHarness.h"
#include "TestWindow.h"
#include "receiver/ReceiveChain.h"
#include "shell/AircraftTableModel.h"
#include "shell/AircraftTableView.h"
#include "shell/EmergencyStyle.h"
#include "shell/ScopePainter.h"
#include "shell/ScopeView.h"

namespace telvorn {
namespace {

using test::Record17;

// A decoded-position record, with more fields on top.
std::string At(const std::string& address, GeoPoint p, std::initializer_list<std::pair<int, std::string>> more = {})
{
    std::vector<std::pair<int, std::string>> fields{
        {2, "17"}, {3, address}, {6, "0"}, {7, std::to_string(p.lat)}, {8, std::to_string(p.lon)}};
    fields.insert(fields.end(), more);
    return test::RecordWith(fields) + ";\r\n";
}

const GeoPoint kReceiver{48.5, 2.0};

void Wheel(QWidget& widget, int angle)
{
    QWheelEvent event(QPointF(10, 10), widget.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

TEST(ScopeView, DrawsEachAircraftOnItsPixelFadingWithAgeAndEmergenciesStandOut)
{
    FrozenClock clock{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{13}};
    ReceiveChain chain{clock};
    chain.state().PosLat[0] = "48.5";
    chain.state().PosLon[0] = "2.0";
    chain.SetupColumns();
    ScopeView scope(chain.tracker(), chain.table(), chain.state(), clock);
    scope.resize(400, 300);
    scope.setRangeNm(100);

    // 400 x 300 at 100 NM: 1.5 pixels a mile about (200, 150), north up.
    // Off the axes and between the rings, so that only the aircraft is drawn there.
    chain.received(At("AAAAAA", Destination(kReceiver, 315, 50)));
    clock.advance(std::chrono::seconds(170));
    chain.received(At("BBBBBB", Destination(kReceiver, 90, 75), {{12, "300"}, {13, "0"}}));
    chain.received(At("CCCCCC", Destination(kReceiver, 180, 30), {{10, "7700"}}));
    const struct { const char* address; QPoint pixel; } rows[] = {
        {"AAAAAA", {147, 97}}, {"BBBBBB", {313, 150}}, {"CCCCCC", {200, 195}}};
    const QImage image = scope.grab().toImage();
    for (const auto& row : rows) {
        const RowId id = *chain.table().FindAircraftRow(row.address);
        EXPECT_EQ(scope.aircraftAt(row.pixel), id) << row.address;
        EXPECT_EQ(scope.aircraftAt(row.pixel + QPoint(3, -3)), id) << row.address << ", near its symbol";
    }
    EXPECT_EQ(scope.aircraftAt({100, 150}), std::nullopt);

    EXPECT_GT(qGreen(image.pixel(rows[1].pixel)), 200) << "heard now: drawn whole";
    EXPECT_LT(qGreen(image.pixel(rows[0].pixel)), 110) << "heard 170 s ago: faded";
    // Beside the emergency's symbol, inside its highlight: the list's colour.
    const QRgb halo = image.pixel(rows[2].pixel + QPoint(-7, 0)), yellow = EmergencyBackground().rgb();
    EXPECT_LT(std::abs(qRed(halo) - qRed(yellow)) + std::abs(qGreen(halo) - qGreen(yellow)) +
              std::abs(qBlue(halo) - qBlue(yellow)), 30);
    EXPECT_LT(qRed(image.pixel(rows[0].pixel + QPoint(-7, 0))), 60) << "no highlight around others";
}

TEST(ScopeView, RangeStepsLabelCornersAndTheShippedOutline)
{
    const std::array<std::array<int, 3>, 7> steps{{
        {100, 1, 150}, {100, -1, 75}, {120, -1, 100}, {120, 1, 150}, {400, 1, 400}, {5, -1, 5}, {200, -3, 75}}};
    for (const auto& [from, by, to] : steps)
        EXPECT_EQ(ScopeView::StepRange(from, by), to) << from << " by " << by;
    // Each label takes the first corner beside its symbol that covers no other.
    const QSizeF label(40, 20);
    std::vector<QRectF> placed{QRectF(0, 0, 10, 10)};
    for (const QPointF corner : {QPointF(108, 80), QPointF(108, 100), QPointF(52, 80), QPointF(52, 100)}) {
        EXPECT_EQ(ScopePainter::PlaceLabel({100, 100}, label, placed), corner);
        placed.emplace_back(corner, label);
    }
    EXPECT_EQ(ScopePainter::PlaceLabel({100, 100}, label, placed), QPointF(108, 80)) << "no room: above right";
    // Natural Earth 1:110m countries: 177 countries, some of many rings.
    EXPECT_GT(ScopePainter::World().ringCount(), 250u);
    EXPECT_GT(ScopePainter::World().pointCount(), 10000u);
}

struct ScopeWindow : test::Window {
    // Shown, the receiver where the aircraft here are placed around.
    Main& show(AppSettings saved = {})
    {
        saved.latitude = "48.5";
        saved.longitude = "2.0";
        load(saved).show();
        return *main;
    }
    RowId id(const char* address) { return *main->chain().table().FindAircraftRow(address); }
};

TEST(ScopeView, SelectionFollowsTheUsersChoiceInTheListAndOnTheScope)
{
    ScopeWindow w;
    w.runScope = ScopePlace::Beside;
    Main& m = w.show();
    const GeoPoint b = Destination(kReceiver, 225, 90);
    w.receive(At("AAAAAA", Destination(kReceiver, 0, 60)) + At("BBBBBB", b));
    const ScopePixel atB = m.scope().projection().toPixel(b);
    QTest::mouseClick(&m.scope(), Qt::LeftButton, Qt::NoModifier, QPoint(int(atB.x), int(atB.y)));
    EXPECT_EQ(m.scope().selected(), w.id("BBBBBB"));
    EXPECT_EQ(m.model().idAt(m.view().currentIndex().row()), w.id("BBBBBB")) << "the click selects its row";

    // A row the user picks in the list is the one the scope highlights...
    m.view().setCurrentIndex(m.model().index(m.model().displayRowOf(w.id("AAAAAA")), 0));
    EXPECT_EQ(m.scope().selected(), w.id("AAAAAA"));
    // ...and the list moving to each record's row, as it always does, does not change it.
    w.receive(At("BBBBBB", b));
    EXPECT_EQ(m.model().idAt(m.view().currentIndex().row()), w.id("BBBBBB"));
    EXPECT_EQ(m.scope().selected(), w.id("AAAAAA"));

    // A click beside every aircraft changes nothing; a purged one is no longer highlighted.
    QTest::mouseClick(&m.scope(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(m.scope().selected(), w.id("AAAAAA"));
    w.clock.advance(std::chrono::seconds(200));
    m.TimerClean_Timer();
    m.refresh();
    EXPECT_EQ(m.scope().selected(), std::nullopt);
}

// Emergencies stand out in the list until their state changes or the row
// goes, the list's own colours and alignment staying under the highlight;
// the scope's place and range are kept, and the hidden scope leaves the
// window as it was.
TEST(ScopeView, EmergenciesStandOutInTheListAndThePlaceAndRangeAreKept)
{
    AppSettings saved;
    saved.scope = ScopePlace::Below;
    saved.scopeRangeNm = 75;
    ScopeWindow w;
    Main& m = w.show(saved);
    // No tool tip: the row is drawn as usual.
    const struct { std::string lines; const char* toolTip; } steps[] = {
        {Record17("4840D6", {{4, "KLM1234"}, {10, "7700"}}) + ";\r\n", "general emergency"},
        {Record17("4840D6", {{10, "7500"}}) + ";\r\n", "hijack"}, {Record17("4840D6", {{10, "1000"}}) + ";\r\n", ""},
        // An alert changes no cell; the row is restyled all the same.
        {"!4840D6,5,M;\r\n", "Unlawful Intercept"}, {"!4840D6,0,M;\r\n", ""},
        {Record17("4840D6", {{10, "7600"}}) + ";\r\n", "radio failure"},
    };
    auto cell = [&](Column c, int role) { return m.model().index(0, int(Index(c))).data(role); };
    for (const auto& step : steps) {
        w.receive(step.lines);
        const bool emergency = *step.toolTip != '\0';
        EXPECT_EQ(cell(Column::Icao, Qt::ToolTipRole).toString(), step.toolTip) << step.lines;
        EXPECT_EQ(cell(Column::Alti, Qt::BackgroundRole).value<QColor>() == EmergencyBackground(), emergency);
        EXPECT_EQ(cell(Column::Numb, Qt::FontRole).value<QFont>().bold(), emergency) << step.lines;
        EXPECT_EQ(cell(Column::Call, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0)) << "call stays red";
        EXPECT_EQ(cell(Column::Sqwk, Qt::ForegroundRole).value<QColor>(), QColor(32, 128, 32)) << "squawk stays green";
    }
    EXPECT_EQ(cell(Column::Sqwk, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
    w.clock.advance(std::chrono::seconds(200));
    m.TimerClean_Timer();
    w.receive(Record17("4840D6") + ";\r\n");
    EXPECT_FALSE(cell(Column::Icao, Qt::ToolTipRole).isValid()) << "back after the purge, with no emergency";

    EXPECT_EQ(m.size(), QSize(735, 866));
    EXPECT_EQ(m.scope().geometry(), QRect(0, 433, 735, 433));
    EXPECT_EQ(m.scope().rangeNm(), 75);

    Wheel(m.scope(), -120); // towards the user: farther out
    EXPECT_EQ(m.scope().rangeNm(), 100);
    Wheel(m.scope(), 60);
    Wheel(m.scope(), 60); // two half notches of a touchpad make one
    EXPECT_EQ(m.scope().rangeNm(), 75);
    Wheel(m.scope(), -120);

    QShortcut* toggle = m.findChild<QShortcut*>();
    EXPECT_EQ(toggle->key(), QKeySequence(Qt::Key_F2));
    emit toggle->activated(); // below -> hidden
    EXPECT_FALSE(m.scope().isVisible());
    EXPECT_EQ(m.size(), QSize(735, 433));
    EXPECT_EQ(m.view().geometry(), QRect(0, 0, 735, 433 - m.status().height()));
    m.close();
    EXPECT_EQ(w.stored().scope, ScopePlace::Hidden);
    EXPECT_EQ(w.stored().scopeRangeNm, 100);

    // A place given for the run (the demo) wins over the stored one.
    ScopeWindow demo;
    demo.runScope = ScopePlace::Beside;
    Main& d = demo.show();
    EXPECT_EQ(d.size(), QSize(735 + 433, 433));
    emit d.findChild<QShortcut*>()->activated(); // beside -> below
    EXPECT_EQ(d.scopePlace(), ScopePlace::Below);
    d.close();
    EXPECT_EQ(demo.stored().scope, ScopePlace::Below);
}

} // namespace
} // namespace telvorn
