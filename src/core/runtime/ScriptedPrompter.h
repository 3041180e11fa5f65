#pragma once
// A Prompter that answers from a script and records every text: for tests and batch runs.
#include <deque>
#include <string>
#include <vector>
#include "core/runtime/Prompter.h"

namespace orvane {

class ScriptedPrompter : public Prompter {
public:
    struct Record { MsgKind kind; std::string text; std::string caption; };
    // Answers for Yes/No and OK/Cancel boxes in order; when empty, `defaultYes` decides.
    std::deque<bool> answers;
    bool defaultYes = true;
    std::vector<Record> records;
    int beeps = 0;

    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        records.push_back({kind, text, {}});
        if (buttons == MsgButtons::Ok) return MsgResult::Ok;
        bool yes = defaultYes;
        if (!answers.empty()) { yes = answers.front(); answers.pop_front(); }
        if (buttons == MsgButtons::YesNo) return yes ? MsgResult::Yes : MsgResult::No;
        return yes ? MsgResult::Ok : MsgResult::Cancel;
    }
    void Plain(const std::string& text, const std::string& caption) override {
        records.push_back({MsgKind::Information, text, caption});
    }
    void Beep() override { ++beeps; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (auto& r : records) t.push_back(r.text);
        return t;
    }
};

}  // namespace orvane
