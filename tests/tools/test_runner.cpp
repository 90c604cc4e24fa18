// The worker runner: a job stops at the next record when asked, a second
// start is refused while one runs, progress and the end reach the window's
// thread, and a window closed during a run stops and waits for it.
#include "tools/ui/worker_bridge.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

using mq::tools::Progress;
using mq::tools::RunControl;
using mq::tools::WorkerBridge;

namespace {

// A job of many small records that honours the stop flag before each one.
std::int64_t count_records(RunControl& control, std::int64_t records)
{
    std::int64_t i = 0;
    for (; i < records && !control.stop_requested(); ++i) {
        control.report({i + 1, i + 1, records});
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return i;
}

}  // namespace

class TestRunner : public QObject {
    Q_OBJECT

private slots:
    void runs_to_the_end_and_reports();
    void stop_midway_and_refuse_second_start();
    void closing_the_window_stops_the_run();
};

void TestRunner::runs_to_the_end_and_reports()
{
    WorkerBridge bridge;
    bridge.setInterval(5);
    QSignalSpy progress(&bridge, &WorkerBridge::progress);
    auto done = std::make_shared<std::int64_t>(-1);
    bool finished = false;
    QVERIFY(bridge.start([done](RunControl& c) { *done = count_records(c, 2000); }, [&] { finished = true; }));
    QTRY_VERIFY_WITH_TIMEOUT(finished, 10000);
    QCOMPARE(*done, 2000);
    QVERIFY(!bridge.running());
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0).value<Progress>().count, 2000);
}

void TestRunner::stop_midway_and_refuse_second_start()
{
    WorkerBridge bridge;
    auto done = std::make_shared<std::int64_t>(-1);
    bool finished = false;
    QVERIFY(bridge.start([done](RunControl& c) { *done = count_records(c, 1000000); }, [&] { finished = true; }));
    QVERIFY(!bridge.start([](RunControl&) {}, [] {}));   // one run at a time
    QTest::qWait(30);
    bridge.stop();
    QTRY_VERIFY_WITH_TIMEOUT(finished, 5000);
    QVERIFY(*done > 0 && *done < 1000000);
    QVERIFY(bridge.start([](RunControl&) {}, [] {}));    // free again
}

void TestRunner::closing_the_window_stops_the_run()
{
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* bridge = new WorkerBridge(window);
    auto stopped_at = std::make_shared<std::atomic<std::int64_t>>(-1);
    bool finished = false;
    QVERIFY(bridge->start([stopped_at](RunControl& c) { *stopped_at = count_records(c, 100000000); },
                          [&] { finished = true; }));
    window->show();
    QTest::qWait(20);
    QPointer<QWidget> alive(window);
    window->close();   // deletes the window and its bridge, which joins the job
    QTRY_VERIFY(alive.isNull());
    QVERIFY(*stopped_at >= 0);
    QVERIFY(!finished);
}

QTEST_MAIN(TestRunner)
#include "test_runner.moc"
