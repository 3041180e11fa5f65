#pragma once
// The common base of the window tests.
//
//   class MyTest : public UiFixture {};
//   TEST_F(MyTest, Something) {
//       ctx.airy->show();
//       SetText(ctx.airy, "EdtDepth", "10");
//       Click(ctx.airy, "BtnCalc");
//       EXPECT_EQ(LabelText(ctx.airy, "LblL"), "92.356");
//       EXPECT_THAT(prompter.Texts(), ElementsAre("..."));
//   }
//
// Modal windows: ShowModal(ctx, dlg) does not run a nested loop here. The fixture records
// the dialog in `modalDialogs`, shows it, calls `onModal(dlg)` when set (type and click in
// there), hides it again and returns the next value of `modalResults`, or the dialog's own
// result() (as set by accept()/reject()/done()) when that list is empty.
// File dialogs: ChooseFile returns the next entry of `fileNames` ("" = cancelled once the
// list is empty) and records the request in `fileRequests`.
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>
#include "core/runtime/Progress.h"
#include "core/runtime/ScriptedPrompter.h"
#include "ui/app/AppContext.h"
#include "ui/app/MainWave.h"

// Counts what a computation reports; set `cancelAtPosition` to simulate the cancel button.
class RecordingProgress : public orvane::Progress {
public:
    std::vector<std::string> comments;
    std::vector<std::string> statusLines;
    std::vector<int> positions;
    int hides = 0;
    int cancelAtPosition = -1;  // Cancelled() turns true once a position >= this was set
    bool cancelled = false;

    void SetProgressComment(const std::string& text) override {
        comments.push_back(text);
        cancelled = false;
    }
    void SetProgressPosition(int percent) override {
        positions.push_back(percent);
        if (cancelAtPosition >= 0 && percent >= cancelAtPosition) cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }
    void SetStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void Hide() override { ++hides; }
};

// The named child of `root` (any depth), or a test failure that stops the test.
template <class T>
T* FindChildOrFail(QObject* root, const QString& name) {
    if (!root) {
        ADD_FAILURE() << "FindChildOrFail: null root while looking for " << name.toStdString();
        throw std::runtime_error("null root");
    }
    T* child = root->findChild<T*>(name);
    if (!child) {
        ADD_FAILURE() << "no child named '" << name.toStdString() << "' of the requested type in "
                      << root->objectName().toStdString();
        throw std::runtime_error("missing child " + name.toStdString());
    }
    return child;
}

class UiFixture : public ::testing::Test {
protected:
    struct FileRequest {
        QString caption, filter, start;
        bool save;
    };

    AppContext ctx;
    orvane::ScriptedPrompter prompter;
    RecordingProgress progress;
    QTemporaryDir tempDir;

    std::vector<QDialog*> modalDialogs;
    std::deque<int> modalResults;
    std::function<void(QDialog*)> onModal;
    std::deque<QString> fileNames;
    std::vector<FileRequest> fileRequests;

    void SetUp() override {
        ASSERT_TRUE(tempDir.isValid());
        ctx.prompter = &prompter;
        ctx.progressSink = &progress;
        ctx.settingsDir = QDir::toNativeSeparators(tempDir.path() + "/").toStdString();
        ctx.execModal = [this](QDialog* dlg) {
            modalDialogs.push_back(dlg);
            dlg->setResult(QDialog::Rejected);
            dlg->show();
            QApplication::processEvents();
            if (onModal) onModal(dlg);
            int result = dlg->result();
            if (!modalResults.empty()) {
                result = modalResults.front();
                modalResults.pop_front();
            }
            dlg->hide();
            return result;
        };
        ctx.chooseFile = [this](QWidget*, const QString& caption, const QString& filter,
                                const QString& start, bool save) {
            fileRequests.push_back({caption, filter, start, save});
            if (fileNames.empty()) return QString();
            QString name = fileNames.front();
            fileNames.pop_front();
            return name;
        };
        CreateWindows(ctx);
    }

    void TearDown() override {
        // Every other window is a child of the main window.
        delete ctx.form1;
        ctx.form1 = nullptr;
    }

    // A path inside the test's own temporary folder.
    std::string TempPath(const std::string& name) const { return ctx.settingsDir + name; }

    // Text typing and clicking by objectName.
    static void SetText(QObject* root, const QString& name, const QString& text) {
        FindChildOrFail<QLineEdit>(root, name)->setText(text);
    }
    static QString Text(QObject* root, const QString& name) {
        return FindChildOrFail<QLineEdit>(root, name)->text();
    }
    static QString LabelText(QObject* root, const QString& name) {
        return FindChildOrFail<QLabel>(root, name)->text();
    }
    static void Click(QObject* root, const QString& name) {
        FindChildOrFail<QAbstractButton>(root, name)->click();
    }

    // The texts of every message box shown so far, in order.
    std::vector<std::string> Messages() const { return prompter.Texts(); }
    std::string LastMessage() const {
        return prompter.records.empty() ? std::string() : prompter.records.back().text;
    }
};
