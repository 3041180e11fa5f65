#pragma once
// Progress and cancel of a long computation. The progress dialog implements it in the
// windows; the command line prints a line on a terminal; tests count calls.
#include <string>

namespace orvane {

class Progress {
public:
    virtual ~Progress() = default;
    // Clears Cancelled, sets the title, position 0, shows the dialog.
    virtual void SetProgressComment(const std::string& text) = 0;
    // Lets pending events through (a cancel is seen here), then sets the bar (0..100).
    virtual void SetProgressPosition(int percent) = 0;
    virtual bool Cancelled() const = 0;
    // The status line under the title (LblComment).
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void Hide() = 0;
};

class NullProgress : public Progress {
public:
    void SetProgressComment(const std::string&) override { cancelled = false; }
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return cancelled; }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
    bool cancelled = false;
};

}  // namespace orvane
