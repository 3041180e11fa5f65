#pragma once
// What the core asks of the user. Windows implement it with message boxes, tests with a
// script of answers, the command line with stderr and --yes.
#include <string>

namespace orvane {

enum class MsgKind { Error, Warning, Information, Confirmation };
enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A typed message box.
    virtual MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;
    // A plain message box with an OK button and the given caption.
    virtual void Plain(const std::string& text, const std::string& caption) = 0;
    virtual void Beep() = 0;

    void Error(const std::string& text) { Message(MsgKind::Error, text, MsgButtons::Ok); }
    void Warning(const std::string& text) { Message(MsgKind::Warning, text, MsgButtons::Ok); }
    void Information(const std::string& text) { Message(MsgKind::Information, text, MsgButtons::Ok); }
    // Confirmation with Yes/No; true for Yes.
    bool Confirm(const std::string& text) {
        return Message(MsgKind::Confirmation, text, MsgButtons::YesNo) == MsgResult::Yes;
    }
};

}  // namespace orvane
