// The bubble timeline: rows in the data source's order, their heights, the layout of text and
// voice bubbles, cells only for rows in sight, and the play animation of a tapped voice bubble.
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <memory>

#include "Bubbles.h"
#include "ui/controller/message/UIBubbleTableViewCell.h"
#include "ui/kit/Fonts.h"
#include "ui/kit/ViewTags.h"
#include "ui/support/QtTestRegistry.h"

namespace oa {
namespace {

NSBubbleDataPtr text(const QString& body, int type = NSBubbleData::SomeoneElse,
                     const QString& date = QStringLiteral("2013-04-27 09:15"),
                     const QString& avatar = QStringLiteral("0")) {
    return NSBubbleData::dataWithText(body, date, type, avatar);
}

NSBubbleDataPtr voice(const QString& seconds, int type, const QString& id = QStringLiteral("7")) {
    return NSBubbleData::dataWithDuration(seconds, QStringLiteral("2013-04-27 09:15"), type, id,
                                          QStringLiteral("voice_%1.amr").arg(id),
                                          QStringLiteral("1"));
}

qreal oneLine() {
    return std::ceil(QFontMetricsF(systemFont(14)).height());
}

// A shown timeline of the phone's width over a list of bubbles.
struct Timeline {
    explicit Timeline(QList<NSBubbleDataPtr> bubbles, int height = 416) {
        source.list = std::move(bubbles);
        table = std::make_unique<UIBubbleTableView>();
        table->setBubbleDataSource(&source);
        table->resize(320, height);
        table->show();
        table->reloadData();
    }
    ~Timeline() { table->setBubbleDataSource(nullptr); }

    // The cell of a bubble, scrolled into sight first.
    UIBubbleTableViewCell* cell(int row) {
        table->scrollToRowAtIndexPath({row, 0}, TableView::ScrollPosition::Top, false);
        return table->bubbleCell(row);
    }
    // A click in the middle of the bubble's picture.
    void clickBubble(int row) {
        UIBubbleTableViewCell* shown = cell(row);
        QVERIFY(shown);
        QWidget* bubble = shown->bubbleImage();
        QTest::mouseClick(table.get(), Qt::LeftButton, {},
                          bubble->mapTo(table.get(), bubble->rect().center()));
    }

    test::Bubbles source;
    std::unique_ptr<UIBubbleTableView> table;
};

}  // namespace

class TimelineTest : public QObject {
    Q_OBJECT
private slots:
    void bubblesKeepTheirOrderOneSectionEach() {
        QList<NSBubbleDataPtr> bubbles;
        for (int i = 0; i < 12; ++i) {
            bubbles.append(text(QStringLiteral("bubble %1").arg(i)));
        }
        Timeline timeline(bubbles);
        QCOMPARE(timeline.table->numberOfSections(), 12);
        QCOMPARE(timeline.source.requests, 12);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(timeline.table->numberOfRowsInSection(i), 1);
            UIBubbleTableViewCell* cell = timeline.cell(i);
            QVERIFY(cell);
            QCOMPARE(cell->reuseIdentifier(), QStringLiteral("tblBubbleCell"));
            // 10 and 11 come after 9, not after 1.
            QCOMPARE(cell->contentLabel()->text(), QStringLiteral("bubble %1").arg(i));
        }
        // Scrolling measures nothing again: only a reload asks the data source.
        QCOMPARE(timeline.source.requests, 12);

        timeline.source.list.clear();
        timeline.table->reloadData();
        QCOMPARE(timeline.table->numberOfSections(), 0);
        QVERIFY(timeline.table->visibleCells().isEmpty());
        timeline.table->setBubbleDataSource(nullptr);
        timeline.table->reloadData();
        QCOMPARE(timeline.table->numberOfSections(), 0);
    }

    void rowHeightsFollowTheMeasuredText() {
        const QString longWord(80, QLatin1Char('w'));
        Timeline timeline({text(QStringLiteral("你好")), voice(QStringLiteral("3"), 1),
                           text(longWord), text(QStringLiteral("没有日期"), 0, QString())});
        const auto& rows = timeline.table->bubbleRows();
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(rows[0].height, oneLine() + 46);
        QCOMPARE(rows[1].height, 66.0);
        // A word wider than the bubble is broken, not run out of it.
        QVERIFY(rows[2].labelSize.width() <= 220);
        QVERIFY(rows[2].labelSize.height() >= 2 * QFontMetricsF(systemFont(14)).height());
        QCOMPARE(rows[2].height, rows[2].labelSize.height() + 46);
        // The date line's room is kept when there is no date line.
        QCOMPARE(rows[3].height, oneLine() + 46);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(timeline.table->rectForRowAtIndexPath({i, 0}).height(), rows[i].height);
        }

        UIBubbleTableViewCell* dated = timeline.cell(0);
        QVERIFY(dated->headerLabel()->isVisible());
        QCOMPARE(dated->headerLabel()->text(), QStringLiteral("2013-04-27 09:15"));
        QCOMPARE(dated->contentLabel()->y(), 38);
        QCOMPARE(dated->contentLabel()->x(), 55);
        UIBubbleTableViewCell* undated = timeline.cell(3);
        QVERIFY(!undated->headerLabel()->isVisible());
        QCOMPARE(undated->contentLabel()->y(), 8);
        // The user's text sits right of centre, its bubble ending at 273.
        const int width = int(rows[3].labelSize.width());
        QCOMPARE(undated->contentLabel()->x(), 320 - 20 - width - 40);
        QCOMPARE(undated->bubbleImage()->geometry(),
                 QRect(273 - (width + 26), 1, width + 26, int(rows[3].labelSize.height()) + 15));
        QCOMPARE(undated->bubbleImageName(), QStringLiteral("bubbleMine.png"));
        QCOMPARE(dated->bubbleImageName(), QStringLiteral("bubbleSomeone.png"));

        UIBubbleTableViewCell* broken = timeline.cell(2);
        QVERIFY(broken->contentLabel()->width() <= 220);
        QCOMPARE(broken->contentLabel()->text(), longWord);
    }

    // Every line of a text with line breaks is measured (and so shown), an empty one too.
    void multiLineTextShowsEveryLine_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("lines");
        QTest::newRow("\\n") << QStringLiteral("开会\n三点\n别迟到") << 3;
        QTest::newRow("\\r\\n") << QStringLiteral("开会\r\n三点") << 2;
        QTest::newRow("empty line") << QStringLiteral("a\n\nb") << 3;
    }
    void multiLineTextShowsEveryLine() {
        QFETCH(QString, body);
        QFETCH(int, lines);
        Timeline timeline({text(body)});
        const qreal height = timeline.table->bubbleRows()[0].labelSize.height();
        const qreal line = QFontMetricsF(systemFont(14)).height();
        QVERIFY2(height >= lines * line && height < (lines + 1) * line,
                 qPrintable(QString::number(height)));
    }

    void emptyTextIsOneSpace() {
        const NSBubbleDataPtr empty = text(QString());
        QCOMPARE(empty->text(), QStringLiteral(" "));
        QVERIFY(!empty->isVoice());
        Timeline timeline({empty});
        QCOMPARE(timeline.table->bubbleRows()[0].height, oneLine() + 46);
        QCOMPARE(timeline.cell(0)->contentLabel()->text(), QStringLiteral(" "));
    }

    void voiceBubblesGrowWithTheirLengthUpToACap() {
        Timeline timeline({voice(QStringLiteral("10"), 1), voice(QStringLiteral("30"), 1),
                           voice(QStringLiteral("10"), 0), voice(QStringLiteral("30"), 0)});
        UIBubbleTableViewCell* partner = timeline.cell(0);
        QCOMPARE(partner->bubbleImage()->geometry(), QRect(37, 31, 170, 35));
        QCOMPARE(partner->durationLabel()->text(), QStringLiteral("10''"));
        QVERIFY(partner->durationLabel()->isVisible());
        QCOMPARE(partner->voiceImageName(), QStringLiteral("voiceplay_a3"));
        QCOMPARE(partner->contentLabel()->pos(), QPoint(55, 38));
        QCOMPARE(timeline.cell(1)->bubbleImage()->width(), 244);
        UIBubbleTableViewCell* mine = timeline.cell(2);
        QCOMPARE(mine->bubbleImage()->geometry(), QRect(273 - 166, 31, 166, 35));
        QCOMPARE(mine->voiceImageName(), QStringLiteral("voiceplay_b3"));
        QCOMPARE(mine->contentLabel()->pos(), QPoint(249, 38));
        // The length label of the longest bubbles keeps off the screen's edges by as much on
        // either side.
        const QRect partnerLabel = timeline.cell(1)->durationLabel()->geometry();
        const QRect mineLabel = timeline.cell(3)->durationLabel()->geometry();
        QVERIFY(partnerLabel.right() < 320 - 5);
        QCOMPARE(mineLabel.left(), 320 - 1 - partnerLabel.right());
    }

    void avatarsByTheBubblesAvatar() {
        Timeline timeline({text(QStringLiteral("a"), 1, {}, QStringLiteral("0")),
                           text(QStringLiteral("b"), 1, {}, QStringLiteral("1")),
                           text(QStringLiteral("c"), 0, {}, QStringLiteral("/oa/photo.php?U=3"))});
        QCOMPARE(timeline.cell(0)->avatarImageName(), QStringLiteral("avatar0.png"));
        QCOMPARE(timeline.cell(0)->avatarImage()->geometry(), QRect(2, 1, 35, 35));
        QCOMPARE(timeline.cell(1)->avatarImageName(), QStringLiteral("avatar1.png"));
        QCOMPARE(timeline.cell(2)->avatarImageName(), QStringLiteral("avatar1.png"));
        QCOMPARE(timeline.cell(2)->avatarImage()->geometry(), QRect(280, 1, 35, 35));
        QVERIFY(!timeline.cell(2)->avatarImage()->pixmap().isNull());
    }

    // A cell switched from a voice bubble to a text bubble by reuse shows no voice parts.
    void reusedCellsForgetTheOtherKind() {
        QList<NSBubbleDataPtr> bubbles;
        for (int i = 0; i < 60; ++i) {
            bubbles.append(i % 2 ? voice(QString::number(i % 9 + 1), i % 3 % 2, QString::number(i))
                                 : text(QStringLiteral("text %1").arg(i), i % 3 % 2));
        }
        Timeline timeline(bubbles);
        for (int i = 0; i < 60; i += 7) {
            UIBubbleTableViewCell* cell = timeline.cell(i);
            QVERIFY(cell);
            const bool isVoice = i % 2;
            QCOMPARE(cell->durationLabel()->isVisible(), isVoice);
            QCOMPARE(cell->voiceImage()->isVisible(), isVoice);
            QCOMPARE(cell->contentLabel()->text(),
                     isVoice ? QString() : QStringLiteral("text %1").arg(i));
        }
    }

    void thousandsOfBubblesHaveAScreenfulOfCells() {
        QList<NSBubbleDataPtr> bubbles;
        for (int i = 0; i < 5000; ++i) {
            bubbles.append(i % 5 == 0 ? voice(QString::number(i % 60), i % 2, QString::number(i))
                                      : text(QStringLiteral("第 %1 条消息").arg(i), i % 2));
        }
        Timeline timeline(bubbles);
        QCOMPARE(timeline.table->numberOfSections(), 5000);
        const qreal end = timeline.table->maximumContentOffset();
        QVERIFY(end > 100000);
        int steps = 0;
        for (qreal y = 0; y <= end; y += end / 40) {
            timeline.table->setContentOffset(y);
            const auto visible = timeline.table->indexPathsForVisibleRows();
            QVERIFY(!visible.isEmpty());
            const auto cells = timeline.table->findChildren<UIBubbleTableViewCell*>();
            QVERIFY2(cells.size() <= visible.size() + 2,
                     qPrintable(QStringLiteral("%1 cells for %2 rows in sight")
                                    .arg(cells.size())
                                    .arg(visible.size())));
            ++steps;
        }
        QVERIFY(steps >= 40);
    }

    void tappedVoiceBubblePlaysUntilStopped() {
        Timeline timeline({text(QStringLiteral("hi")), voice(QStringLiteral("4"), 1)});
        QSignalSpy taps(timeline.table.get(), &UIBubbleTableView::voiceBubbleTapped);

        timeline.clickBubble(0);  // a text bubble plays nothing
        QCOMPARE(taps.count(), 0);
        QVERIFY(!timeline.table->isPlaying());
        // Nor does the voice bubble's row beside the bubble (its avatar).
        QWidget* avatar = timeline.cell(1)->avatarImage();
        QTest::mouseClick(timeline.table.get(), Qt::LeftButton, {},
                          avatar->mapTo(timeline.table.get(), avatar->rect().center()));
        QCOMPARE(taps.count(), 0);
        QVERIFY(!timeline.table->isPlaying());

        timeline.clickBubble(1);
        QCOMPARE(taps.count(), 1);
        const auto tapped = taps.at(0).at(0).value<NSBubbleDataPtr>();
        QCOMPARE(tapped, timeline.source.list.at(1));
        QCOMPARE(taps.at(0).at(1).toBool(), false);
        QVERIFY(timeline.table->testAttribute(Qt::WA_TransparentForMouseEvents));
        UIBubbleTableViewCell* cell = timeline.table->bubbleCell(1);
        QVERIFY(!cell->voiceImage()->isVisible());
        QVERIFY(viewWithTag(cell->contentLabel(), UIBubbleTableViewCell::kSomeoneElseAnimationTag));
        QCOMPARE(timeline.table->playFrame(), 1);
        QTRY_COMPARE(timeline.table->playFrame(), 2);
        QCOMPARE(cell->playFrame(), 2);

        // While it plays, touches do not reach the timeline.
        timeline.clickBubble(1);
        QCOMPARE(taps.count(), 1);

        timeline.table->stopPlayAnimation();
        QVERIFY(!timeline.table->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(cell->voiceImage()->isVisible());
        QVERIFY(
            !viewWithTag(cell->contentLabel(), UIBubbleTableViewCell::kSomeoneElseAnimationTag));
        QCOMPARE(cell->voiceImageName(), QStringLiteral("voiceplay_a3"));
        timeline.clickBubble(1);
        QCOMPARE(taps.count(), 2);
    }

    // The dialog reloads with fresh bubbles while a message plays; the animation stays on the
    // message being played, wherever it is now.
    void animationFollowsItsBubbleThroughAReload() {
        Timeline timeline({voice(QStringLiteral("4"), 0, QStringLiteral("11")),
                           voice(QStringLiteral("6"), 0, QStringLiteral("12"))});
        timeline.clickBubble(0);
        QVERIFY(timeline.table->isPlaying());
        UIBubbleTableViewCell* playing = timeline.table->bubbleCell(0);
        QVERIFY(viewWithTag(playing->contentLabel(), UIBubbleTableViewCell::kMineAnimationTag));

        timeline.source.list = {voice(QStringLiteral("9"), 1, QStringLiteral("13")),
                                voice(QStringLiteral("4"), 0, QStringLiteral("11")),
                                voice(QStringLiteral("6"), 0, QStringLiteral("12"))};
        timeline.table->reloadData();
        QCOMPARE(timeline.table->playingRow(), std::optional<int>(1));
        QVERIFY(timeline.table->isPlaying());
        UIBubbleTableViewCell* moved = timeline.cell(1);
        QVERIFY(!moved->voiceImage()->isVisible());
        QVERIFY(viewWithTag(moved->contentLabel(), UIBubbleTableViewCell::kMineAnimationTag));
        for (int row : {0, 2}) {
            UIBubbleTableViewCell* other = timeline.cell(row);
            QVERIFY(other->voiceImage()->isVisible());
            QCOMPARE(other->playFrame(), 0);
        }

        // Gone from the conversation: nothing shows it, and stopping still lets touches back.
        timeline.source.list = {voice(QStringLiteral("6"), 0, QStringLiteral("12"))};
        timeline.table->reloadData();
        QCOMPARE(timeline.table->playingRow(), std::nullopt);
        QCOMPARE(timeline.cell(0)->playFrame(), 0);
        timeline.table->stopPlayAnimation();
        QVERIFY(!timeline.table->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
};

}  // namespace oa

OA_QT_TEST(TimelineTest)
#include "TimelineTest.moc"
