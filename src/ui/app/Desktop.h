#pragma once
// What the program needs from the desktop it runs on: Qt's own Japanese texts, and file
// dialogs that start where the user last was for the same purpose.
#include <QScrollArea>
#include <QString>

class QFileDialog;
class QLayout;
class QObject;
class QWidget;
struct AppContext;

// Loads Qt's Japanese catalogue (file, font and print dialogs, print preview, standard
// buttons) into the running application. False when the catalogue is not installed.
bool InstallQtJapanese();

// A file dialog large enough for its size, type and date columns to show whole.
void SizeFileDialog(QFileDialog* dialog);

// Purposes of file dialogs; each keeps its own last folder.
namespace DialogPurpose {
inline const QString Profile = QStringLiteral("profile");
inline const QString SeriesInput = QStringLiteral("series-input");
inline const QString SeriesOutput = QStringLiteral("series-output");
inline const QString ChartCsv = QStringLiteral("chart-csv");
inline const QString Image = QStringLiteral("image");
}  // namespace DialogPurpose

// The start of a dialog for `purpose`: `start` itself when it names a place in an existing
// folder, else the folder last used for the purpose (with start's file name, if any).
QString DialogStart(const AppContext& ctx, const QString& purpose, const QString& start);
// Keeps the folder of `chosen` as the last one used for `purpose`.
void RememberDialogFolder(const AppContext& ctx, const QString& purpose, const QString& chosen);

// Shrinks a window that is larger than its screen's available area to that area, and moves
// it inside.
void FitToScreen(QWidget* window);
// Runs FitToScreen on every window and dialog of the program as it is shown (file, font and
// print dialogs included), so that none opens beyond a small or scaled screen.
void InstallScreenFit(QObject* owner);

// A window's controls in a frameless scroll area, with the button row below it outside the
// area: on a screen too small for the window the controls scroll and the buttons stay in
// view. Where there is room the window opens at the controls' full size. `window` must have
// no layout yet; `buttons` may be null.
QScrollArea* ScrolledBody(QWidget* window, QWidget* body, QLayout* buttons);
// The same with the controls laid out by `content` on a body of their own ("PanelBody").
QScrollArea* ScrolledBody(QWidget* window, QLayout* content, QLayout* buttons);

// Places `tool` beside `host` (right, else left) without covering it, within the screen's
// available area; when neither side has room, the host moves to the screen's left edge.
void PlaceBeside(QWidget* tool, QWidget* host);
