#pragma once
// What the phonebook's windows share: message boxes with the phonebook's
// caption and the language's own buttons, the file dialogs of the import
// and export (also used by the message list and the logs for their
// comma-separated export), and the messages the windows exchange.
#include <QString>

#include <string>

#include "core/event/WindowPort.h"
#include <vector>

#include "phonebook/ContactRecord.h"
#include "phonebook/ExportWriter.h"

class QWidget;

namespace evdo {

// A chosen number sent to the window that asked for a contact (lParam:
// the number as a NUL-terminated text in the system code page, valid
// during the call).
inline constexpr MessageId kMsgSelectedNumber = WM_USER + 16;
// The editor was cancelled (wParam 1), or a contact from a number is made.
// The phonebook's messages through the main window: a search result to
// show (WM_USER+17), a contact from the editor (WM_USER+18), a transfer
// that changed the PC phonebook (WM_USER+21).
inline constexpr MessageId kMsgPhonebookSearch = WM_USER + 17;
inline constexpr MessageId kMsgPhonebookSync = WM_USER + 18;
inline constexpr MessageId kMsgPhonebookSyncEnd = WM_USER + 21;
inline constexpr MessageId kMsgEditorEnded = WM_USER + 20;

// The caption of the phonebook's messages: the program's prefixed title.
QString PhonebookCaption();
// Shows message (a language string number) with detail (plain text from
// the modem or a file, or empty) under it.
void ShowPbMessage(QWidget* parent, int message, const QString& detail = {});
// Asks question; yesNo chooses Yes/No buttons, else OK/Cancel. True for Yes
// or OK. prefix goes before the question's text (a path).
bool AskPb(QWidget* parent, int question, bool yesNo, const QString& prefix = {});

// The save dialog of an export of kind: the filter and title strings, the
// current directory, the extension appended and the overwrite question.
// False when the user gave up.
bool ChooseExportFile(QWidget* parent, ExportKind kind, std::string& path, ExportFormat& format);
// The open dialog of the phonebook import. False when the user gave up.
bool ChooseImportFile(QWidget* parent, std::string& path);

// The labels of a contact's numbers: Mobile, Home, Office.
std::vector<QString> NumberLabels(const std::vector<ContactNumber>& numbers);

// A "name|pattern|name|pattern||" filter string as Qt's "name;;name" list.
QString QtFileFilter(const QString& filter);

}  // namespace evdo
