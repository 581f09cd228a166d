// A conversion run for a window, its reports carried over to the user-interface thread
// in order, and the close question's flow.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "engine/Utf8.h"
#include "settings/Settings.h"
#include "windowlogic/CloseFlow.h"
#include "windowlogic/OpQueue.h"
#include "windowlogic/RunController.h"

namespace quillery {
namespace {

namespace fs = std::filesystem;

// The user-interface thread's event queue, pumped by the test's own thread.
class TestDispatcher : public Dispatcher {
  public:
    void Post(std::function<void()> op) override {
        {
            std::lock_guard lock(mutex_);
            ops_.push_back(std::move(op));
        }
        posted_.notify_all();
    }
    // Runs what is queued, as an event loop would, until `done` holds or 20 s pass.
    bool PumpUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            std::function<void()> op;
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, deadline, [this] { return !ops_.empty(); })) {
                    return false;
                }
                op = std::move(ops_.front());
                ops_.pop_front();
            }
            op();
        }
        return true;
    }
    void PumpAll() {
        PumpUntil([this] {
            std::lock_guard lock(mutex_);
            return ops_.empty();
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> ops_;
};

// Records what a run asked of the window, one line each.
class RecordingView : public RunView {
  public:
    void ShowRunMessage(std::u16string_view text) override { Note("message " + Utf8(text)); }
    void SetBusy(bool busy) override { Note(busy ? "busy" : "idle"); }
    void ShowStatus(std::u16string_view text) override { Note("status " + Utf8(text)); }
    void SetOutputText(std::u16string_view text) override { Note("output " + Utf8(text)); }
    std::u16string InputText() override {
        Note("input");
        return input;
    }

    std::u16string input;
    std::vector<std::string> events;

  private:
    static std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text).value_or("?"); }
    void Note(std::string line) { events.push_back(std::move(line)); }
};

class RunControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("windowlogic-runs-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        runs_.reset();
        fs::remove_all(dir_);
    }
    void UseDictionary(const std::string& bytes) {
        const fs::path path = dir_ / "words.dat";
        std::ofstream(path, std::ios::binary) << bytes;
        ASSERT_TRUE(settings_.dictionaryPath.Assign(path.string()));
    }
    bool RunEnds() {
        return dispatcher_.PumpUntil([this] { return !runs_->Active(); });
    }

    fs::path dir_;
    Settings settings_;
    TestDispatcher dispatcher_;
    RecordingView view_;
    std::unique_ptr<RunController> runs_ =
        std::make_unique<RunController>(dispatcher_, view_, settings_);
};

TEST_F(RunControllerTest, ARunConvertsTheInputAndHandsOverItsStatistics) {
    UseDictionary("X\r\n");
    settings_.insertRatio = 10;
    view_.input = u"東京\r\n大阪";
    ASSERT_TRUE(runs_->Start());
    EXPECT_TRUE(runs_->Active());
    EXPECT_FALSE(runs_->Start());  // one at a time
    ASSERT_TRUE(RunEnds());
    const std::string stats =
        "変換終了： [挿入文節2 / 総文節2 = 挿入率100.0%] [解析行2] [辞書の単語1個] [出力7文字]";
    EXPECT_EQ(view_.events,
              (std::vector<std::string>{"busy", "status 処理中．．．", "input",
                                        "output X東京\r\nX大阪", "status " + stats, "idle"}));
    EXPECT_EQ(Utf16ToUtf8(runs_->StatusText()), stats);
    // A normal run takes the clock's seed and records it on the user-interface thread.
    EXPECT_NE(settings_.newestRandomSeed, 0);
    EXPECT_TRUE(runs_->Start());  // the next one may start
    ASSERT_TRUE(RunEnds());
}

TEST_F(RunControllerTest, ARefusedRunLeavesNoBusyStatusBehind) {
    UseDictionary(
        "\x1A"
        "ignored\r\n");  // no keyword before the end-of-file mark
    ASSERT_TRUE(runs_->Start());
    ASSERT_TRUE(RunEnds());
    EXPECT_EQ(view_.events,
              (std::vector<std::string>{"busy", "status 処理中．．．",
                                        "message 辞書ファイルが空です", "idle", "status "}));
    EXPECT_EQ(runs_->StatusText(), u"");
    // Refused before it was busy: nothing to take back.
    view_.events.clear();
    settings_.dictionaryPath.Clear();
    ASSERT_TRUE(runs_->Start());
    ASSERT_TRUE(RunEnds());
    ASSERT_EQ(view_.events.size(), 1u);
    EXPECT_EQ(view_.events[0].rfind("message 辞書ファイルを設定してください。", 0), 0u);
}

TEST_F(RunControllerTest, TheHandOverShowsTheNewestStatus) {
    RunHost& host = runs_->Host();
    std::thread([&host] {
        host.PostStatus(u"一");
        host.PostStatus(u"二");
    }).join();
    dispatcher_.PumpAll();
    EXPECT_EQ(view_.events, (std::vector<std::string>{"status 二", "status 二"}));
}

TEST_F(RunControllerTest, NothingReachesAnEndedWindow) {
    UseDictionary("X\r\n");
    ASSERT_TRUE(runs_->Start());
    runs_->End();
    EXPECT_FALSE(runs_->Start());
    runs_.reset();  // stops the worker, however far it got
    dispatcher_.PumpAll();
    EXPECT_EQ(view_.events, std::vector<std::string>{});
}

TEST(OpQueue, OpsRunInOrderEvenWhenOneRunsAnEventLoop) {
    TestDispatcher dispatcher;
    OpQueue queue(dispatcher);
    std::vector<int> order;
    queue.Post([&] {
        order.push_back(1);
        // A modal box's own loop delivers the later wakes: they must wait for this op.
        dispatcher.PumpAll();
        order.push_back(2);
    });
    queue.Post([&] { order.push_back(3); });
    dispatcher.PumpAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    queue.Post([&] { order.push_back(4); });
    queue.Close();
    queue.Post([&] { order.push_back(5); });
    dispatcher.PumpAll();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(ConfirmExit, NoKeepsEverythingYesOrAFailedBoxSavesAndEnds) {
    for (const auto& [answer, ends] : {std::pair{Answer::No, false}, std::pair{Answer::Yes, true},
                                       std::pair{Answer::Failed, true}}) {
        std::u16string asked;
        int saves = 0;
        const bool ended = ConfirmExit(
            [&, answer = answer](std::u16string_view question) {
                asked = question;
                return answer;
            },
            [&] { ++saves; });
        EXPECT_EQ(asked, u"終了しますか？");
        EXPECT_EQ(ended, ends);
        EXPECT_EQ(saves, ends ? 1 : 0);
    }
}

}  // namespace
}  // namespace quillery
