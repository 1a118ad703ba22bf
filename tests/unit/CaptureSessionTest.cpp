#include "base/CaptureSession.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <sstream>
#include <string>

#include "tests/unit/CaptureSessionDriver.h"

namespace vp {
namespace {

// One step of a scenario and the actions it gives, in words ("-" for none). Steps:
//   "keep" / "off"                      keeping the clipboard on or off (a new scenario)
//   "popup|default TIME SEQ [PROCESS] [direct|refused]"   a trigger (PROCESS 10 by default);
//                                       a snapshot is taken, or refused, when one is wanted
//   "change SEQ OWNER", "touched SEQ", "tick TIME" (every timer due by then), "end"
struct Step {
    const char* event;
    const char* actions;
};

std::string Words(const CaptureActions& actions) {
    std::string words;
    auto add = [&words](bool on, const std::string& word) {
        words += on ? (words.empty() ? "" : " ") + word : "";
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

std::string Apply(CaptureSession& session, const std::string& event) {
    std::istringstream in(event);
    std::string verb, option;
    std::uint64_t a = 0, b = 0;
    in >> verb >> a >> b;
    if (verb == "popup" || verb == "default") {
        CaptureTrigger trigger{verb == "popup" ? TriggerKind::Popup : TriggerKind::DefaultSite};
        trigger.time = a;
        trigger.sequence = static_cast<std::uint32_t>(b);
        trigger.process = 10;
        bool refused = false;
        while (in >> option) {
            trigger.directText = trigger.directText || option == "direct";
            refused = refused || option == "refused";
            trigger.process = std::isdigit(option[0]) ? std::stoul(option) : trigger.process;
        }
        if (!trigger.directText && session.WantsSnapshot()) {
            trigger.snapshot = refused ? SnapshotResult::Refused : SnapshotResult::Taken;
        }
        return Words(session.OnTrigger(trigger));
    }
    if (verb == "change") {
        return Words(session.OnClipboardChange(static_cast<std::uint32_t>(a),
                                               static_cast<std::uint32_t>(b)));
    }
    if (verb == "touched") {
        session.OnClipboardTouched(static_cast<std::uint32_t>(a));
        return "-";
    }
    if (verb == "tick") {
        std::string words;
        for (CaptureTimer timer : kCaptureTimers) {
            if (const auto due = session.Deadline(timer); due && *due <= a) {
                const std::string fired = Words(session.OnTimer(timer, a));
                words += fired == "-" ? "" : (words.empty() ? "" : " ") + fired;
            }
        }
        return words.empty() ? "-" : words;
    }
    if (verb == "end") {
        return Words(session.OnEnd());
    }
    session = CaptureSession();
    session.SetKeepClipboard(verb == "keep");
    return "-";
}

TEST(CaptureSession, EventSequencesGiveTheirActions) {
    const Step kSteps[] = {
        // Without keeping the clipboard: the copy is read within the window, then left.
        {"off", "-"},
        {"popup 0 5", "copy"},
        {"tick 120", "show"},
        {"change 6 10", "read-popup"},
        {"change 6 20", "-"},  // passed on unchanged: news without a change
        {"change 7 20", "read-popup"},
        {"tick 1200", "-"},
        {"change 8 20", "-"},
        {"default 3000 8", "copy"},
        {"change 9 10", "read-default"},
        {"change 10 10", "-"},  // the first change decided
        // The application's own copy, in two rounds, is undone when the window ends; the
        // restore's own change is no news.
        {"keep", "-"},
        {"popup 0 5", "copy"},
        {"change 6 10", "read-popup show"},
        {"touched 7", "-"},  // the read added converted formats
        {"change 8 10", "read-popup"},
        {"tick 1199", "-"},
        {"tick 1200", "restore 8"},
        {"touched 9", "-"},
        {"change 9 0", "-"},
        // One session spans its triggers: a second application's copy is its own too.
        {"keep", "-"},
        {"default 0 5", "copy"},
        {"change 6 10", "read-default"},
        {"popup 1000 6 11", "copy"},
        {"tick 1200", "show"},
        {"change 7 11", "read-popup"},
        {"tick 2200", "restore 7"},
        // Another process's change is the user's: searched, never restored over.
        {"keep", "-"},
        {"default 0 5", "copy"},
        {"change 6 20", "read-default"},
        {"change 7 10", "-"},
        {"tick 1200", "drop"},
        // A late copy is undone, not searched; the user's copy ends the wait; then no more.
        {"keep", "-"},
        {"default 0 5", "copy"},
        {"tick 1200", "-"},
        {"change 6 10", "restore 6"},
        {"popup 7000 7", "copy"},
        {"tick 8200", "show"},
        {"change 8 20", "drop"},
        {"default 9000 8", "copy"},
        {"tick 15200", "drop"},
        {"change 9 10", "-"},
        // A direct text is final, over an earlier trigger's capture too.
        {"keep", "-"},
        {"popup 0 5", "copy"},
        {"change 6 10", "read-popup show"},
        {"popup 300 6 direct", "show"},
        {"change 7 20", "-"},
        {"tick 1200", "drop"},
        // A refused snapshot copies nothing; ending the program gives the clipboard back.
        {"keep", "-"},
        {"popup 0 5 refused", "refused show"},
        {"default 100 5 refused", "refused"},
        {"tick 10000", "-"},
        {"popup 20000 5", "copy"},
        {"change 6 10", "read-popup show"},
        {"end", "restore 6"},
        {"end", "-"},
    };
    CaptureSession session;
    for (const Step& step : kSteps) {
        EXPECT_EQ(Apply(session, step.event), step.actions) << step.event;
    }
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
