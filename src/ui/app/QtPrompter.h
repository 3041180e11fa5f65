#pragma once
// Message boxes of the desktop program.
#include <QString>
#include "core/runtime/Prompter.h"

class QWidget;

// The application title: the caption of plain message boxes and of the standard error box.
// (Not set as the application display name, which the window system would append to
// every window title.)
inline const QString kApplicationTitle = QStringLiteral("Orvane");

class QtPrompter : public orvane::Prompter {
public:
    orvane::MsgResult Message(orvane::MsgKind kind, const std::string& text,
                              orvane::MsgButtons buttons) override;
    void Plain(const std::string& text, const std::string& caption) override;
    void Beep() override;
};
