#include "base/CaptureSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace vp {
namespace {

// A scenario is a line of steps, each "EVENT > ACTIONS" in words ("> -" may be left out):
//   "keep" / "off"   keeping the clipboard on or off (a new session object)
//   "popup|default TIME SEQ [PROCESS] [direct|refused]"   a trigger (PROCESS 10 by default);
//                    a snapshot is taken, or refused, when one is wanted
//   "change SEQ OWNER", "touched SEQ", "tick TIME" (every timer due by then), "end"
// Appends the actions in words.
void Say(const CaptureActions& actions, std::string& words) {
    const std::pair<bool, std::string> said[] = {
        {actions.snapshotRefused, "refused"},
        {actions.copy, "copy"},
        {actions.readForPopup, "read-popup"},
        {actions.readForDefault, "read-default"},
        {actions.showPopup, "show"},
        {actions.restore, "restore " + std::to_string(actions.restoreSequence)},
        {actions.dropSnapshot, "drop"}};
    for (const auto& [on, word] : said) {
        words += on ? (words.empty() ? "" : " ") + word : "";
    }
}

std::string Apply(CaptureSession& session, const std::string& event) {
    std::istringstream in(event);
    std::string verb, option, words;
    std::uint32_t a = 0, b = 0;
    in >> verb >> a >> b;
    if (verb == "popup" || verb == "default") {
        CaptureTrigger trigger{verb == "popup" ? TriggerKind::Popup : TriggerKind::DefaultSite};
        trigger.time = a;
        trigger.sequence = b;
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
        Say(session.OnTrigger(trigger), words);
    } else if (verb == "change") {
        Say(session.OnClipboardChange(a, b), words);
    } else if (verb == "touched") {
        session.OnClipboardTouched(a);
    } else if (verb == "tick") {
        for (CaptureTimer timer : kCaptureTimers) {
            if (const auto due = session.Deadline(timer); due && *due <= a) {
                Say(session.OnTimer(timer, a), words);
            }
        }
    } else if (verb == "end") {
        Say(session.OnEnd(), words);
    } else {
        session = CaptureSession();
        session.SetKeepClipboard(verb == "keep");
    }
    return words.empty() ? "-" : words;
}

TEST(CaptureSession, EventSequencesGiveTheirActions) {
    const char* const kScenarios[] = {
        // Without keeping the clipboard the copy is read within the window and left; news
        // without a change carries nothing; the default site's first change decides.
        "off; popup 0 5 > copy; tick 120 > show; change 6 10 > read-popup; change 6 20; "
        "change 7 20 > read-popup; tick 1200; change 8 20; default 3000 8 > copy; "
        "change 9 10 > read-default; change 10 10",
        // The own copy, in two rounds and with formats the read added, is undone when the
        // window ends; the restore's own change is no news.
        "keep; popup 0 5 > copy; change 6 10 > read-popup show; touched 7; "
        "change 8 10 > read-popup; tick 1199; tick 1200 > restore 8; touched 9; change 9 0",
        // One session spans its triggers: a second application's copy is its own too.
        "keep; default 0 5 > copy; change 6 10 > read-default; popup 1000 6 11 > copy; "
        "tick 1200 > show; change 7 11 > read-popup; tick 2200 > restore 7",
        // Another process's change is the user's: searched, never restored over.
        "keep; default 0 5 > copy; change 6 20 > read-default; change 7 10; tick 1200 > drop",
        // A late copy is undone, not searched; the user's copy ends the wait; then no more.
        "keep; default 0 5 > copy; tick 1200; change 6 10 > restore 6; popup 7000 7 > copy; "
        "tick 8200 > show; change 8 20 > drop; default 9000 8 > copy; tick 15200 > drop; "
        "change 9 10",
        // A direct text is final, over an earlier trigger's capture too.
        "keep; popup 0 5 > copy; change 6 10 > read-popup show; popup 300 6 direct > show; "
        "change 7 20; tick 1200 > drop",
        // A refused snapshot copies nothing; ending the program gives the clipboard back.
        "keep; popup 0 5 refused > refused show; default 100 5 refused > refused; tick 10000; "
        "popup 20000 5 > copy; change 6 10 > read-popup show; end > restore 6; end",
    };
    for (const std::string scenario : kScenarios) {
        CaptureSession session;
        std::istringstream steps(scenario);
        for (std::string step; std::getline(steps, step, ';');) {
            const std::size_t arrow = step.find('>');
            const std::string expected = arrow == std::string::npos ? "-" : step.substr(arrow + 2);
            EXPECT_EQ(Apply(session, step.substr(0, arrow)), expected) << step;
        }
    }
}

// Drives a session through seeded random events against a small model of the clipboard
// and checks the rules that hold in any order: nothing is restored over another process's
// change, and what is restored is the session's latest own copy; a session restores at
// most once; a text read directly is never replaced; a refused snapshot copies nothing;
// every session ends within the late-copy wait after its last copying trigger.
class RandomCaptures {
public:
    explicit RandomCaptures(std::mt19937& generator) : generator_(generator) {}

    std::string Run(int events) {
        session_.SetKeepClipboard(Next(4) != 0);
        for (int i = 0; i < events; ++i) {
            switch (Next(6)) {
                case 0:
                case 1:
                    Trigger(Next(2) == 0, Next(5) == 0, 1 + Next(3));
                    break;
                case 2:  // a change by one of four processes
                    owner_ = 1 + Next(4);
                    ++sequence_;
                    if (session_.SessionOpen()) {
                        otherChange_ = otherChange_ || processes_.count(owner_) == 0;
                        ownSequence_ = otherChange_ ? ownSequence_ : sequence_;
                    }
                    [[fallthrough]];
                case 3:  // or news without one
                    Apply(session_.OnClipboardChange(sequence_, owner_));
                    break;
                default:
                    Advance(Next(3000));
            }
        }
        Advance(kCaptureWindowMs + kLateCopyWaitMs + 1);  // left alone, everything ends
        Check(!session_.SessionOpen() && !session_.PopupCapturePending() &&
                  !session_.DefaultCapturePending(),
              "a capture never ended");
        return problem_;
    }

private:
    std::uint32_t Next(std::uint32_t below) {
        return std::uniform_int_distribution<std::uint32_t>(0, below - 1)(generator_);
    }

    void Check(bool holds, const char* what) {
        if (!holds && problem_.empty()) {
            problem_ = what;
        }
    }

    void Trigger(bool popup, bool direct, std::uint32_t process) {
        const bool wasOpen = session_.SessionOpen();
        CaptureTrigger trigger{popup ? TriggerKind::Popup : TriggerKind::DefaultSite, direct,
                               process, sequence_, now_};
        if (!direct && session_.WantsSnapshot()) {
            trigger.snapshot = Next(5) != 0 ? SnapshotResult::Taken : SnapshotResult::Refused;
        }
        const CaptureActions actions = session_.OnTrigger(trigger);
        Check(!(actions.snapshotRefused && actions.copy), "a copy without a snapshot");
        if (!wasOpen && session_.SessionOpen()) {
            processes_.clear();
            otherChange_ = false;
            ownSequence_ = restores_ = 0;
        }
        if (session_.SessionOpen() && actions.copy) {
            processes_.insert(process);
            lastCopyAt_ = now_;
        }
        directShown_ = popup ? direct : directShown_;
        Apply(actions);
    }

    // Moves the clock on, firing each timer at its deadline as the caller would.
    void Advance(std::uint64_t milliseconds) {
        const std::uint64_t target = now_ + milliseconds;
        bool fired = true;
        for (int pass = 0; fired && pass < 8; ++pass) {
            fired = false;
            for (CaptureTimer timer : kCaptureTimers) {
                if (const auto due = session_.Deadline(timer); due && *due <= target) {
                    now_ = std::max(now_, *due);
                    Apply(session_.OnTimer(timer, now_));
                    fired = true;
                }
            }
        }
        Check(!fired, "a timer fires without end");
        now_ = target;
        Check(!session_.SessionOpen() || now_ <= lastCopyAt_ + kCaptureWindowMs + kLateCopyWaitMs,
              "a session outlived its late-copy wait");
    }

    void Apply(const CaptureActions& actions) {
        Check(!(actions.readForPopup && directShown_), "a direct text was replaced");
        if (actions.restore) {
            Check(!otherChange_, "restored over another process's change");
            Check(ownSequence_ == actions.restoreSequence, "restored over an older copy");
            Check(++restores_ == 1, "restored twice");
            if (sequence_ == actions.restoreSequence) {
                owner_ = 0;
                session_.OnClipboardTouched(++sequence_);
            }
        }
    }

    std::mt19937& generator_;
    CaptureSession session_;
    std::uint64_t now_ = 0;
    std::uint64_t lastCopyAt_ = 0;
    std::uint32_t sequence_ = 1;
    std::uint32_t owner_ = 0;
    // The open session as the model sees it.
    std::set<std::uint32_t> processes_;
    bool otherChange_ = false;
    std::uint32_t ownSequence_ = 0;
    std::uint32_t restores_ = 0;
    bool directShown_ = false;  // the popup shows a text read directly
    std::string problem_;
};

TEST(CaptureSession, RulesHoldOverRandomEventSequences) {
    std::mt19937 generator(20261209);
    for (int run = 0; run < 100000; ++run) {
        ASSERT_EQ(RandomCaptures(generator).Run(1 + run % 40), "") << "run " << run;
    }
}

}  // namespace
}  // namespace vp
