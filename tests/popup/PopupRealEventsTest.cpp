// The popup through the paths a real desktop drives: pointer motion delivered by the
// window system, text as the fonts draw it, and actions that fail.
#include "tests/popup/PopupFixture.h"

#include "popup/TextFitter.h"
#include "tests/testsupport/HostileText.h"
#include "tests/testsupport/TraceCapture.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTest>
#include <QToolButton>

namespace lumora::test {

namespace {

class RealEvents : public PopupFixture
{
protected:
    // Shows the queued mail and lets the growth finish, so the fields are where the
    // pointer will be.
    PopupWindow &shown()
    {
        PopupWindow &p = window();
        manager.PlaceAndShow(p);
        clock.advance(1000);
        EXPECT_EQ(p.size(), QSize(200, 120));
        return p;
    }
    QColor colorOf(const char *name) const { return label(name)->palette().color(QPalette::WindowText); }
};

TEST_F(RealEvents, PointerMotionOverAFieldShowsTheHoverStyleAndTheBackgroundRestoresIt)
{
    add("boss@example.org", "urgent", 2);
    PopupWindow &p = shown();
    QWidget *background = p.findChild<QWidget *>(QStringLiteral("pctMain"));
    ASSERT_TRUE(background);

    QTest::mouseMove(background, QPoint(30, 20));
    QTest::mouseMove(label("lblFrom"), QPoint(10, 5));
    QTest::mouseMove(label("lblFrom"), QPoint(20, 6)); // moves within the field keep it
    for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
        EXPECT_EQ(colorOf(name), QColor(0, 0, 255)) << name;
        EXPECT_TRUE(label(name)->font().underline()) << name;
    }

    QTest::mouseMove(background, QPoint(30, 20));
    for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
        EXPECT_EQ(colorOf(name), QColor(0, 0, 0)) << name;
        EXPECT_FALSE(label(name)->font().underline()) << name;
    }

    // Over the toolbar the display time restarts; the fields keep their style.
    QTest::mouseMove(label("lblMessage"), QPoint(10, 10));
    QTest::mouseMove(p.findChild<QToolButton *>(QStringLiteral("Toolbar1")), QPoint(5, 5));
    EXPECT_EQ(colorOf("lblMessage"), QColor(0, 0, 255));
}

TEST_F(RealEvents, CaptionsAndValuesStayInsideTheirBoxes)
{
    add("someone@example.org", "subject");
    PopupWindow &p = shown();
    QLabel *caption = label("Label3");
    ASSERT_TRUE(caption);
    if (QFontInfo(caption->font()).family() != QLatin1String("Liberation Sans"))
        GTEST_SKIP() << "no metric-compatible font installed (fonts-liberation2)";
    for (const char *name : {"Label4", "Label2", "Label3", "Label1", "lblMsgNo"}) {
        QLabel *l = label(name);
        const int width = QFontMetrics(l->font()).horizontalAdvance(l->text());
        EXPECT_LE(width, l->contentsRect().width()) << name;
    }
    // "Subject:" ends before its value begins.
    EXPECT_LT(caption->geometry().right(), label("lblMessage")->geometry().left());
    (void)p;
}

TEST_F(RealEvents, DirectionOverridesCannotReorderTheShownSubject)
{
    const QString hostile = QStringLiteral("invoice") + QChar(0x202E) + QStringLiteral("fdp.exe");
    const QString plain = QStringLiteral("invoicefdp.exe");
    add("a@example.org", hostile);
    add("a@example.org", plain);
    shown();
    QLabel *subject = label("lblMessage");
    EXPECT_EQ(subject->text(), plain);
    const QImage hostileDrawn = subject->grab().toImage();
    clock.advance(4750); // the next message
    ASSERT_EQ(subject->text(), plain);
    const QImage plainDrawn = subject->grab().toImage();
    EXPECT_EQ(hostileDrawn, plainDrawn);

    // The comparison can tell: the override itself draws the letters in another order.
    const auto drawn = [&](const QString &text) {
        QImage image(plainDrawn.size(), plainDrawn.format());
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(subject->font());
        painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
        return image;
    };
    EXPECT_NE(drawn(hostile), drawn(plain));

    for (char16_t invisible : {0x200B, 0x200D, 0xFEFF, 0x2060, 0x2066, 0x2069, 0x200F})
        EXPECT_EQ(TextFitter::sanitize(QStringLiteral("a") + QChar(invisible) + QStringLiteral("b")),
                  QStringLiteral("ab"));
}

// Every hostile row, as folder, sender and subject at once: the labels show, as plain text,
// what the cleaned text fits to, and the trace line quotes the cleaned text.
TEST_F(RealEvents, HostileTextIsShownCleanedInEveryFieldAndInTheTrace)
{
    const QList<HostileRow> rows = hostileRows();
    for (const HostileRow &row : rows)
        add(row.text, row.text, 1, row.text);
    TraceCapture trace;
    const QRegularExpression messageLine(QStringLiteral("^popup: \\d+ of "));
    shown();
    for (const HostileRow &row : rows) {
        for (const char *name : {"lblFolder", "lblFrom", "lblMessage"}) {
            QLabel *field = label(name);
            EXPECT_EQ(field->textFormat(), Qt::PlainText) << row.name << name;
            EXPECT_TRUE(holdsNothingHostile(field->text())) << row.name << name;
            EXPECT_LE(field->text().size(), TextFitter::MaxMeasured + 3) << row.name << name;
        }
        EXPECT_EQ(text("lblMessage"),
                  TextFitter::fit(row.shown, label("lblMessage")->font(), label("lblSizer")->size()))
            << row.name;
        // On to the next message, in steps short enough that none is passed over.
        const qsizetype seen = trace.count(messageLine);
        for (int step = 0; step < 200 && trace.count(messageLine) == seen; ++step)
            clock.advance(50);
    }
    const QStringList lines = trace.lines().filter(messageLine);
    ASSERT_EQ(lines.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(holdsNothingHostile(lines[i])) << rows[i].name;
        EXPECT_TRUE(lines[i].contains(QStringLiteral("from \"%1\"").arg(rows[i].shown))) << rows[i].name;
    }
}

TEST_F(RealEvents, AFailedDeleteIsNotStruckThroughAndSaysWhy)
{
    add("a@example.org", "gone");
    PopupWindow &p = shown();
    QStringList reports;
    QObject::connect(&p, &PopupWindow::errorReported, [&](const QString &t) { reports.append(t); });
    controller.failWith = QStringLiteral("The message file is gone");
    p.findChild<QToolButton *>(QStringLiteral("Toolbar1"))->click();
    EXPECT_FALSE(label("lblFrom")->font().strikeOut());
    EXPECT_FALSE(label("lblMessage")->font().strikeOut());
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(
        reports[0],
        QStringLiteral("Error 440 (The message file is gone) in procedure Toolbar1_ButtonClick of Form PopupWindow"));

    QTest::mouseRelease(label("lblMessage"), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[1],
              QStringLiteral("Error 440 (The message file is gone) in procedure OpenEmailMessage of Form PopupWindow"));
    EXPECT_TRUE(p.isShowing());
}

// With the pointer resting on the popup, the display time runs out without the next
// message taking the place of the one the user is about to click.
TEST_F(RealEvents, ThePointerRestingOnThePopupKeepsTheShownMessageUntilItLeaves)
{
    add("first@example.org", "first");
    add("second@example.org", "second");
    PopupWindow &p = shown();
    auto *toolbar = p.findChild<QToolButton *>(QStringLiteral("Toolbar1"));
    ASSERT_TRUE(toolbar);
    // Over the background first, as the pointer comes in; Qt drops a move to where the
    // pointer already is, so the points are ones no other test uses.
    QTest::mouseMove(p.findChild<QWidget *>(QStringLiteral("pctMain")), QPoint(31, 21));
    QTest::mouseMove(label("lblMessage"), QPoint(13, 7));
    clock.advance(60000); // many display times, and no motion
    EXPECT_EQ(text("lblMessage"), QStringLiteral("first"));
    toolbar->click();
    ASSERT_EQ(controller.calls.size(), 1);
    EXPECT_EQ(controller.calls[0].what, QStringLiteral("delete"));
    EXPECT_EQ(controller.calls[0].entryId, QStringLiteral("eid-first"));

    // Leaving gives a fresh display time, then the next message follows.
    QWidget elsewhere;
    elsewhere.setGeometry(600, 600, 50, 50);
    elsewhere.show();
    QTest::mouseMove(&elsewhere, QPoint(17, 9));
    clock.advance(3900);
    EXPECT_EQ(text("lblMessage"), QStringLiteral("first"));
    clock.advance(200);
    EXPECT_EQ(text("lblMessage"), QStringLiteral("second"));
}

} // namespace

} // namespace lumora::test
