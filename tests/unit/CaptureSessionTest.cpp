#include "base/CaptureSession.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <variant>
#include <vector>

#include "tests/unit/CaptureSessionDriver.h"

namespace vp {
namespace {

constexpr std::uint32_t kApp = 10;    // the application in front at the trigger
constexpr std::uint32_t kOther = 20;  // any other program

// The events of one scenario.
struct Trigger {
    TriggerKind kind;
    std::uint64_t time;
    std::uint32_t sequence;
    SnapshotResult snapshot = SnapshotResult::Taken;
    bool direct = false;
    std::uint32_t process = kApp;
};
struct Change {
    std::uint32_t sequence;
    std::uint32_t owner;
};
struct Touched {
    std::uint32_t sequence;
};
struct Tick {  // every timer due by then fires
    std::uint64_t time;
};
struct End {};
using Event = std::variant<Trigger, Change, Touched, Tick, End>;

struct Step {
    Event event;
    const char* expected;  // the actions in words, "-" for none
};

std::string Words(const CaptureActions& actions) {
    std::string words;
    auto add = [&words](bool on, const std::string& word) {
        if (on) {
            words += (words.empty() ? "" : " ") + word;
        }
    };
    add(actions.snapshotRefused, "refused");
    add(actions.copy, "copy");
    add(actions.readForPopup, "read-popup");
    add(actions.readForDefault, "read-default");
    add(actions.showPopup, "show");
    add(actions.restore, "restore " + std::to_string(actions.restoreSequence));
    add(actions.dropSnapshot, "drop");
    return words.empty() ? "-" : words;
}

std::string Run(CaptureSession& session, const Event& event) {
    if (const auto* trigger = std::get_if<Trigger>(&event)) {
        return Words(session.OnTrigger({trigger->kind, trigger->direct, trigger->process,
                                        trigger->sequence, trigger->time, trigger->snapshot}));
    }
    if (const auto* change = std::get_if<Change>(&event)) {
        return Words(session.OnClipboardChange(change->sequence, change->owner));
    }
    if (const auto* touched = std::get_if<Touched>(&event)) {
        session.OnClipboardTouched(touched->sequence);
        return "-";
    }
    if (const auto* tick = std::get_if<Tick>(&event)) {
        std::string words;
        for (CaptureTimer timer : kCaptureTimers) {
            if (const auto deadline = session.Deadline(timer);
                deadline && *deadline <= tick->time) {
                const std::string fired = Words(session.OnTimer(timer, tick->time));
                if (fired != "-") {
                    words += (words.empty() ? "" : " ") + fired;
                }
            }
        }
        return words.empty() ? "-" : words;
    }
    return Words(session.OnEnd());
}

void Expect(bool keepClipboard, const std::vector<Step>& steps) {
    CaptureSession session;
    session.SetKeepClipboard(keepClipboard);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(Run(session, steps[i].event), steps[i].expected) << "step " << i;
    }
}

constexpr auto kPopup = TriggerKind::Popup;
constexpr auto kDefault = TriggerKind::DefaultSite;

TEST(CaptureSession, WithoutKeepingTheClipboardTheCopyIsReadAndLeftAlone) {
    Expect(false, {
                      {Trigger{kPopup, 0, 5, SnapshotResult::NotTaken}, "copy"},
                      {Tick{120}, "show"},
                      {Change{6, kApp}, "read-popup"},
                      {Change{6, kOther}, "-"},  // passed on unchanged: no news
                      {Change{7, kOther}, "read-popup"},
                      {Tick{1200}, "-"},
                      {Change{8, kOther}, "-"},  // after the capture window
                      {Trigger{kDefault, 3000, 8, SnapshotResult::NotTaken}, "copy"},
                      {Change{9, kApp}, "read-default"},
                      {Change{10, kApp}, "-"},  // the first change decided
                  });
}

TEST(CaptureSession, TheOwnCopyIsUndoneWhenTheCaptureWindowEnds) {
    Expect(true, {
                     {Trigger{kPopup, 0, 5}, "copy"},
                     {Change{6, kApp}, "read-popup show"},
                     {Touched{7}, "-"},                // the read added converted formats
                     {Change{8, kApp}, "read-popup"},  // a second round of the same copy
                     {Tick{1199}, "-"},
                     {Tick{1200}, "restore 8"},
                     {Touched{9}, "-"},
                     {Change{9, 0}, "-"},  // the restore's own change
                 });
    // One session spans the triggers made while it is open: one snapshot, one restore.
    Expect(true, {
                     {Trigger{kDefault, 0, 5}, "copy"},
                     {Change{6, kApp}, "read-default"},
                     {Trigger{kPopup, 1000, 6, SnapshotResult::NotTaken, false, kApp + 1}, "copy"},
                     {Tick{1200}, "show"},
                     {Change{7, kApp + 1}, "read-popup"},
                     {Tick{2199}, "-"},
                     {Tick{2200}, "restore 7"},
                 });
}

TEST(CaptureSession, AnotherProcessesChangeIsTheUsersAndNeverRestoredOver) {
    Expect(true, {
                     {Trigger{kDefault, 0, 5}, "copy"},
                     {Change{6, kOther}, "read-default"},  // searched: the user copied
                     {Change{7, kApp}, "-"},
                     {Tick{1200}, "drop"},
                 });
    Expect(true, {
                     {Trigger{kPopup, 0, 5}, "copy"},
                     {Change{6, kApp}, "read-popup show"},
                     {Change{7, kOther}, "read-popup"},
                     {Tick{1200}, "drop"},
                 });
}

TEST(CaptureSession, ALateCopyIsUndoneAndNotSearched) {
    Expect(true, {
                     {Trigger{kDefault, 0, 5}, "copy"},
                     {Tick{1200}, "-"},  // waits on for the late copy
                     {Change{6, kApp}, "restore 6"},
                 });
    Expect(true, {
                     {Trigger{kPopup, 0, 5}, "copy"},
                     {Tick{1200}, "show"},
                     {Change{6, kOther}, "drop"},  // the user's copy ends the wait
                 });
    Expect(true, {
                     {Trigger{kDefault, 0, 5}, "copy"},
                     {Tick{6199}, "-"},
                     {Tick{6200}, "drop"},
                     {Change{6, kApp}, "-"},  // too late even to be undone
                 });
    // A trigger during the wait copies again within the same session.
    Expect(true, {
                     {Trigger{kDefault, 0, 5}, "copy"},
                     {Tick{2000}, "-"},
                     {Trigger{kDefault, 2000, 5}, "copy"},
                     {Change{6, kApp}, "read-default"},
                     {Tick{3200}, "restore 6"},
                 });
}

TEST(CaptureSession, ADirectTextIsFinal) {
    Expect(true, {
                     {Trigger{kPopup, 0, 5, SnapshotResult::NotTaken, true}, "show"},
                     {Change{5, kOther}, "-"},
                     {Change{6, kOther}, "-"},
                     {Tick{5000}, "-"},
                 });
    // Over an earlier trigger's capture, which still ends as its own.
    Expect(true, {
                     {Trigger{kPopup, 0, 5}, "copy"},
                     {Change{6, kApp}, "read-popup show"},
                     {Trigger{kPopup, 300, 6, SnapshotResult::NotTaken, true}, "show"},
                     {Change{7, kOther}, "-"},
                     {Tick{1200}, "drop"},
                 });
}

TEST(CaptureSession, ARefusedSnapshotCopiesNothing) {
    Expect(true, {
                     {Trigger{kPopup, 0, 5, SnapshotResult::Refused}, "refused show"},
                     {Change{6, kApp}, "-"},
                     {Trigger{kDefault, 100, 6, SnapshotResult::Refused}, "refused"},
                     {Tick{10000}, "-"},
                 });
}

TEST(CaptureSession, EndingTheProgramGivesTheClipboardBack) {
    Expect(true, {
                     {Trigger{kPopup, 0, 5}, "copy"},
                     {Change{6, kApp}, "read-popup show"},
                     {End{}, "restore 6"},
                     {End{}, "-"},
                 });
}

TEST(CaptureSession, RulesHoldOverRandomEventSequences) {
    std::mt19937 generator(20261209);
    for (int run = 0; run < 100000; ++run) {
        test::CaptureSessionDriver driver;
        const std::string problem = driver.Run(
            [&](std::uint32_t below) {
                return std::uniform_int_distribution<std::uint32_t>(0, below - 1)(generator);
            },
            1 + run % 40);
        ASSERT_EQ(problem, "") << "run " << run;
    }
}

}  // namespace
}  // namespace vp
