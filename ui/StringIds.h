#pragma once
// The numbers of the texts in the language modules. Code asks for a text
// with LoadString(kStr...); the modules' table (lang/Strings.tsv) holds the
// wording of each number in every language. A test checks that every number
// declared here, and every LoadString(<number>) in the sources, exists in
// every module.
#include <cstdint>

namespace evdo {

using StringId = std::int32_t;

// Start-up: the system's network functions (sockets) could not be initialised; start-up ends
inline constexpr StringId kStrSocketInitFailed = 103;
// Call page: leaving the page is refused during a call
inline constexpr StringId kStrEndCallFirst = 109;
// Messages page: tab of the Inbox box
inline constexpr StringId kStrTabInbox = 110;
// Messages page: tab of the Outbox box
inline constexpr StringId kStrTabOutbox = 111;
// Column and field label: phone number (message list, phonebook, call history, number choice)
inline constexpr StringId kStrColumnNumber = 113;
// Column label: time (message list, call history)
inline constexpr StringId kStrColumnTime = 114;
// Column label: contact name (message list, phonebook, device phonebook, call history)
inline constexpr StringId kStrColumnName = 116;
// Messages page column: message content
inline constexpr StringId kStrColumnContent = 118;
// Network page opened while the dial-up connection is up; controls disabled
inline constexpr StringId kStrNetworkLockedWhileConnected = 119;
// Yes/No question before deleting (messages, contacts, call history, logs, clear phonebook)
inline constexpr StringId kStrConfirmDelete = 121;
// Yes/No question before emptying the shown box or list
inline constexpr StringId kStrConfirmDeleteAll = 122;
// Column and field label: home number
inline constexpr StringId kStrColumnHome = 124;
// Column and field label: office number (the Company field)
inline constexpr StringId kStrColumnOffice = 125;
// Phonebook column: e-mail address
inline constexpr StringId kStrColumnEmail = 126;
// Phonebook column: remark
inline constexpr StringId kStrColumnRemark = 127;
// Messages page: tab of the Saved box
inline constexpr StringId kStrTabSaved = 129;
// Call history: tab of the received calls
inline constexpr StringId kStrTabReceivedCalls = 130;
// Call history: tab of the dialled calls
inline constexpr StringId kStrTabDialledCalls = 131;
// Call history: tab of the missed calls
inline constexpr StringId kStrTabMissedCalls = 132;
// Call history column: call duration
inline constexpr StringId kStrColumnDuration = 133;
// Device phonebook selector: the modem's own memory "ME"
inline constexpr StringId kStrMemoryModem = 134;
// Message write window: send with an empty recipients field
inline constexpr StringId kStrNoRecipient = 144;
// Message write window: send or save with an empty text
inline constexpr StringId kStrNoMessageText = 145;
// Message write window: the message was saved for every recipient
inline constexpr StringId kStrMessageSaved = 146;
// Message write window: saving failed, or the recipients could not be read
inline constexpr StringId kStrMessageNotSaved = 147;
// Text for an unknown contact name or an empty number (lists, read window, call history)
inline constexpr StringId kStrUnknown = 148;
// No row selected (call history, logs, transfer window, manual network registration)
inline constexpr StringId kStrSelectEntry = 151;
// Call history column: how many calls this number had
inline constexpr StringId kStrColumnCount = 152;
// Help: the help file is not accessible
inline constexpr StringId kStrHelpFileMissing = 154;
// Message export: status name of a sent message (status 3)
inline constexpr StringId kStrStatusSent = 160;
// Message export: status name of an unread message (status 0)
inline constexpr StringId kStrStatusUnread = 161;
// Message export: status name of a read message (status 1)
inline constexpr StringId kStrStatusRead = 162;
// Message export: status name of an unsent message (status 2)
inline constexpr StringId kStrStatusUnsent = 163;
// Export: question shown after the file's path when it exists (OK/Cancel)
inline constexpr StringId kStrConfirmOverwrite = 164;
// Device search result 1: port found and opened (shown after resume)
inline constexpr StringId kStrDeviceConnected = 166;
// Device search result 2: port found but it could not be opened
inline constexpr StringId kStrDeviceOpenFailed = 167;
// A command is refused because another one is still outstanding
inline constexpr StringId kStrPortBusy = 168;
// The modem's port is closed; also: the modem is not installed when dialling
inline constexpr StringId kStrPortClosed = 169;
// A command is refused because opening the modem's port failed
inline constexpr StringId kStrPortOpenFailed = 170;
// The modem did not answer a message or phonebook command in time
inline constexpr StringId kStrModemTimeout = 171;
// Device phonebook selector: the computer's phonebook
inline constexpr StringId kStrMemoryPc = 174;
// Device phonebook selector: the card "SM"
inline constexpr StringId kStrMemoryCard = 175;
// Message transfer: the computer's box is full (500 messages)
inline constexpr StringId kStrPcBoxFull = 177;
// Device phonebook: name given to an entry without a name
inline constexpr StringId kStrNoName = 179;
// Message write window: every message was sent
inline constexpr StringId kStrMessageSent = 180;
// Message write window: sending failed; the unsent remainder is kept in the Outbox
inline constexpr StringId kStrMessageNotSent = 181;
// Message export: the chosen box holds no message
inline constexpr StringId kStrNoMessagesToExport = 193;
// The phonebook is full (200 contacts)
inline constexpr StringId kStrPhonebookFull = 194;
// A number holds a character other than 0-9, *, # or +
inline constexpr StringId kStrInvalidNumberCharacter = 195;
// Device phonebook: a command could not be written or failed, or the source entry is empty
inline constexpr StringId kStrDevicePhonebookFailed = 196;
// Device phonebook pane column: phone number
inline constexpr StringId kStrColumnDeviceNumber = 197;
// The chosen message, contact or call has no number
inline constexpr StringId kStrNoNumber = 199;
// Language dialog: display name of language code 9
inline constexpr StringId kStrLanguageEnglish = 201;
// Device phonebook wait window: reading the modem memory "ME"
inline constexpr StringId kStrReadingModemPhonebook = 202;
// Device phonebook wait window: reading the card "SM"
inline constexpr StringId kStrReadingCardPhonebook = 203;
// Device phonebook: the modem memory "ME" is full
inline constexpr StringId kStrModemPhonebookFull = 204;
// Device phonebook: the card "SM" is full
inline constexpr StringId kStrCardPhonebookFull = 205;
// Language dialog: display name of language code 16
inline constexpr StringId kStrLanguageChinese = 207;
// Contact editor: the picture could not be copied or shown
inline constexpr StringId kStrPictureFailed = 208;
// Contact editor: the name is longer than 14 bytes (OK continues, Cancel keeps the editor open)
inline constexpr StringId kStrConfirmLongName = 209;
// Notification-area menu item while the window is shown
inline constexpr StringId kStrTrayHide = 212;
// Notification-area menu item while the window is hidden
inline constexpr StringId kStrTrayShow = 213;
// General settings page: the radio on/off command failed
inline constexpr StringId kStrRadioSwitchFailed = 215;
// Dial-up: memory for the list of dial-up entries could not be allocated
inline constexpr StringId kStrDialEntriesNoMemory = 217;
// Message write window: more than 10 recipients
inline constexpr StringId kStrTooManyRecipients = 218;
// The modem's message storage "ME" is full
inline constexpr StringId kStrModemMessagesFull = 219;
// The card's message storage "SM" is full
inline constexpr StringId kStrCardMessagesFull = 220;
// The message storage ("ALL") is full
inline constexpr StringId kStrMessagesFull = 221;
// Connection profile: the name or the phone number is empty
inline constexpr StringId kStrProfileNameOrNumberEmpty = 222;
// New connection profile: a profile with this name exists
inline constexpr StringId kStrProfileNameExists = 223;
// New connection profile: a value is too long
inline constexpr StringId kStrProfileNewValueTooLong = 224;
// Call page: the dial command was not answered with OK
inline constexpr StringId kStrCallFailed = 225;
// Closing the main window while the Internet connection is up
inline constexpr StringId kStrDisconnectBeforeClosing = 227;
// Internet page: the selected profile is in use and cannot be deleted
inline constexpr StringId kStrProfileInUse = 228;
// Phonebook: edit or send without a selected contact
inline constexpr StringId kStrSelectContact = 266;
// Phonebook: more than 10 contacts chosen
inline constexpr StringId kStrTooManyContacts = 267;
// Phonebook: a contact record could not be read
inline constexpr StringId kStrContactUnreadable = 268;
// Phonebook: a contact could not be added
inline constexpr StringId kStrContactAddFailed = 269;
// Phonebook: a contact could not be changed or deleted
inline constexpr StringId kStrContactChangeFailed = 270;
// Phonebook: the phonebook could not be cleared
inline constexpr StringId kStrPhonebookClearFailed = 271;
// Application title; message box caption (with the prefix name); single-instance name
inline constexpr StringId kStrAppTitle = 272;
// Export with no contacts, or a vCard file that could not be read
inline constexpr StringId kStrNothingToExport = 273;
// Phonebook export: a contact could not be read and was skipped
inline constexpr StringId kStrContactSkipped = 274;
// Import: no recognised header line, or a malformed vCard
inline constexpr StringId kStrUnknownFileFormat = 275;
// Import: lines or cards without a name and numbers were skipped
inline constexpr StringId kStrEntriesSkipped = 276;
// Import: a name is too long (with double-byte characters, 17 or more characters)
inline constexpr StringId kStrImportNameTooLong = 277;
// Import: the file is empty
inline constexpr StringId kStrFileEmpty = 279;
// Call page: leaving the page is refused while the card is not ready
inline constexpr StringId kStrCardNotReadyForPage = 280;
// Contact editor: the name is too long (with double-byte characters, 17 or more characters)
inline constexpr StringId kStrNameTooLong = 281;
// A number that is a single '+'
inline constexpr StringId kStrPlusAlone = 282;
// PIN: no PIN attempts left, the card now needs the PUK
inline constexpr StringId kStrPinBlocked = 285;
// PIN: no PUK attempts left, the card can no longer be unblocked
inline constexpr StringId kStrCardUnusable = 287;
// PIN request dialog title, switching the request on
inline constexpr StringId kStrTitlePinRequestOn = 288;
// PIN request dialog title, switching the request off
inline constexpr StringId kStrTitlePinRequestOff = 289;
// PIN: a PIN or PUK is not 4 to 8 characters long
inline constexpr StringId kStrPinLength = 290;
// PIN: the request is already on
inline constexpr StringId kStrPinRequestAlreadyOn = 291;
// PIN: the request is already off
inline constexpr StringId kStrPinRequestAlreadyOff = 292;
// PIN: wrong PIN, attempts remain
inline constexpr StringId kStrWrongPin = 293;
// Change PIN dialog label: the current PIN
inline constexpr StringId kStrLabelCurrentPin = 294;
// Unblock dialog label: the PUK
inline constexpr StringId kStrLabelPuk = 295;
// Change PIN dialog label: PIN attempts left
inline constexpr StringId kStrLabelPinAttempts = 296;
// Unblock dialog label: PUK attempts left
inline constexpr StringId kStrLabelPukAttempts = 297;
// Change PIN: the new PIN and its confirmation differ
inline constexpr StringId kStrPinMismatch = 298;
// Unblock: wrong PUK, attempts remain
inline constexpr StringId kStrWrongPuk = 299;
// Unblock: no PUK attempts left, the card is destroyed
inline constexpr StringId kStrCardDestroyed = 300;
// Change PIN: the PIN was changed
inline constexpr StringId kStrPinChanged = 301;
// Connection profile page: a value is too long
inline constexpr StringId kStrProfileValueTooLong = 302;
// Dial-up error without a text of its own; %d is the error number
inline constexpr StringId kStrDialErrorNumber = 306;
// Dial: shown after the connected entry's name when it is already connected
inline constexpr StringId kStrAlreadyConnected = 307;
// Connection profiles: the store is full; %d is the limit (512)
inline constexpr StringId kStrProfilesFull = 308;
// Contact editor: '+' elsewhere than at the start of a number
inline constexpr StringId kStrPlusNotFirst = 309;
// Phonebook: delete without a selected contact
inline constexpr StringId kStrSelectContactsToDelete = 310;
// PIN: changing the PIN needs the request to be on
inline constexpr StringId kStrPinRequestNeeded = 311;
// PIN entry: no attempts left, the card now needs the PUK
inline constexpr StringId kStrPinBlockedAtEntry = 312;
// Export: the file could not be created
inline constexpr StringId kStrFileNotWritable = 313;
// Phonebook import: the file is neither .csv nor .vcf
inline constexpr StringId kStrImportFileType = 314;
// vCard import: out of memory while splitting the cards
inline constexpr StringId kStrImportNoMemory = 315;
// Phonebook file dialog filter (comma-separated first, then vCard; '|' separates description and pattern)
inline constexpr StringId kStrFilterPhonebook = 316;
// File extension of comma-separated files (at most 4 characters)
inline constexpr StringId kStrExtensionCsv = 317;
// File extension of vCard files (at most 4 characters)
inline constexpr StringId kStrExtensionVcf = 318;
// File dialog filter of the message and log exports
inline constexpr StringId kStrFilterCsv = 319;
// Save dialog title: phonebook export
inline constexpr StringId kStrTitleExportContacts = 320;
// Save dialog title: message and log exports
inline constexpr StringId kStrTitleExport = 321;
// Open dialog title: phonebook import
inline constexpr StringId kStrTitleImportContacts = 322;
// Messages page: no message carries the new mark
inline constexpr StringId kStrNoNewMessage = 323;
// Message send progress: text before the quoted number and (recipient/count)
inline constexpr StringId kStrSendingTo = 326;
// File name of the program whose version the About window shows
inline constexpr StringId kStrProgramFileName = 327;
// Theme file of skin style 0 (backslashes as in the settings; the skin loader converts them)
inline constexpr StringId kStrSkinTheme0 = 330;
// Theme file of skin style 1 (backslashes as in the settings; the skin loader converts them)
inline constexpr StringId kStrSkinTheme1 = 331;
// Dial progress: connecting the device
inline constexpr StringId kStrDialConnectingDevice = 332;
// Dial progress: device connected
inline constexpr StringId kStrDialDeviceConnected = 333;
// Dial progress: authenticating
inline constexpr StringId kStrDialAuthenticating = 334;
// Dial progress: authenticated
inline constexpr StringId kStrDialAuthenticated = 335;
// Dial progress: connected
inline constexpr StringId kStrDialConnected = 336;
// Dial status: disconnected
inline constexpr StringId kStrDialDisconnected = 337;
// Dial: the page's fields differ from the stored profile (Yes keeps them, No restores the stored ones)
inline constexpr StringId kStrKeepProfileChanges = 342;
// Dial: the card is not ready
inline constexpr StringId kStrCardNotReady = 350;
// Information dialog title: device identity
inline constexpr StringId kStrTitleDeviceIdentity = 352;
// Information dialog title: device version
inline constexpr StringId kStrTitleDeviceVersion = 353;
// Device search result 0: no command port found
inline constexpr StringId kStrDeviceNotFound = 360;
// Message settings: the service centre number was changed
inline constexpr StringId kStrServiceCentreChanged = 361;
// Network search answered with an error
inline constexpr StringId kStrNetworkSearchFailed = 362;
// Network registration answered with +CME ERROR
inline constexpr StringId kStrRegistrationFailed = 364;
// Operator list column: operator state
inline constexpr StringId kStrColumnOperatorState = 365;
// Operator list column: operator name
inline constexpr StringId kStrColumnOperatorName = 366;
// Operator list column: numeric operator code
inline constexpr StringId kStrColumnOperatorCode = 367;
// Operator list column: access technology
inline constexpr StringId kStrColumnAccessTechnology = 368;
// Access technology 0
inline constexpr StringId kStrAccessGsm = 369;
// Access technology 1
inline constexpr StringId kStrAccessGsmCompact = 370;
// Access technology 2
inline constexpr StringId kStrAccessUtran = 371;
// Operator state 0
inline constexpr StringId kStrOperatorUnknown = 372;
// Operator state 1
inline constexpr StringId kStrOperatorAvailable = 373;
// Operator state 2
inline constexpr StringId kStrOperatorCurrent = 374;
// Operator state 3
inline constexpr StringId kStrOperatorForbidden = 375;
// Network preference command refused
inline constexpr StringId kStrPreferenceFailed = 376;
// The modem was not found or not opened at start-up or after resume; the program ends
inline constexpr StringId kStrDeviceMissingExit = 379;
// Device initialisation: the service check failed; the program ends
inline constexpr StringId kStrServiceCheckFailedExit = 380;
// Contact editor: the e-mail address has no '@'
inline constexpr StringId kStrEmailNoAt = 381;
// Network search progress; its last six characters are animated
inline constexpr StringId kStrSearchingNetworks = 382;
// Contact editor: the e-mail address is not valid
inline constexpr StringId kStrEmailInvalid = 383;
// Message settings: the storage choice was confirmed by the modem
inline constexpr StringId kStrStorageSaved = 384;
// Read window, inbox: the reply button
inline constexpr StringId kStrButtonReply = 385;
// Read window, inbox: the close button
inline constexpr StringId kStrButtonClose = 386;
// Service status indicator: value 0
inline constexpr StringId kStrServiceNone = 387;
// Service status indicator: value 1
inline constexpr StringId kStrServiceLimited = 388;
// Yes/No question before deleting a connection profile
inline constexpr StringId kStrConfirmDeleteProfile = 389;
// Messages page: a command needs a selected message
inline constexpr StringId kStrSelectMessage = 391;
// Splash text while reconnecting after resume
inline constexpr StringId kStrReconnecting = 392;
// Phonebook export header line (the names the import recognises, same in every language)
inline constexpr StringId kStrHeaderPhonebook = 393;
// Message export header line
inline constexpr StringId kStrHeaderMessages = 394;
// Connection log export header line
inline constexpr StringId kStrHeaderLogs = 395;
// Network registration progress; its last six characters are animated
inline constexpr StringId kStrRegistering = 396;
// Usage limit warning: the time limit was reached
inline constexpr StringId kStrTimeLimitReached = 404;
// Usage limit warning: the data volume limit was reached
inline constexpr StringId kStrDataLimitReached = 405;
// Operator indicator when there is no operator text or no service
inline constexpr StringId kStrNoNetwork = 407;
// Received-volume indicator, before " %d KB"
inline constexpr StringId kStrReceivedPrefix = 411;
// Sent-volume indicator, before " %d KB"
inline constexpr StringId kStrSentPrefix = 412;
// No network service yet (OK quits, Cancel keeps waiting)
inline constexpr StringId kStrAskQuitNoService = 413;
// Dial time-out while authenticating
inline constexpr StringId kStrDialTimeoutAuthenticating = 414;
// Dial progress: opening the port
inline constexpr StringId kStrDialOpeningPort = 415;
// Dial progress: port opened
inline constexpr StringId kStrDialPortOpened = 416;
// Dial time-out while opening the port
inline constexpr StringId kStrDialTimeoutOpeningPort = 417;
// Dial time-out, or disconnection, while connecting the device
inline constexpr StringId kStrDialTimeoutConnecting = 418;
// A data file was damaged and has been renamed; %s the file, %s its new name
inline constexpr StringId kStrStoreDamagedKept = 450;
// A data file is damaged and could not be renamed; %s the file
inline constexpr StringId kStrStoreDamagedLeft = 451;
// A data file could not be read and is left as it is; %s the file
inline constexpr StringId kStrStoreUnreadable = 452;
// Export: the chosen file is a symbolic link; it is not replaced
inline constexpr StringId kStrExportIsLink = 453;
// Export: the chosen file is read-only; it is not replaced
inline constexpr StringId kStrExportReadOnly = 454;

// Texts of the shell's own windows, menus and standard buttons
// Close-tip dialog: the question above the two choices
inline constexpr StringId kStrCloseTipQuestion = 2300;
// Close-tip dialog: choice 0, hide the window
inline constexpr StringId kStrCloseTipHide = 2301;
// Close-tip dialog: choice 1, end the program
inline constexpr StringId kStrCloseTipExit = 2302;
// Close-tip dialog: remember the choice
inline constexpr StringId kStrCloseTipRemember = 2303;
// About window: label of the program file and version
inline constexpr StringId kStrAboutProgram = 2304;
// About window: label of the device identity
inline constexpr StringId kStrAboutIdentity = 2305;
// About window: label of the firmware version
inline constexpr StringId kStrAboutFirmware = 2306;
// About window: label of the web link
inline constexpr StringId kStrAboutWeb = 2307;
// About window: label of the mail link
inline constexpr StringId kStrAboutMail = 2308;
// System menu: opens the About window
inline constexpr StringId kStrMenuAbout = 2309;
// System menu: opens the help document
inline constexpr StringId kStrMenuHelp = 2310;
// System menu: opens the language dialog
inline constexpr StringId kStrMenuLanguage = 2311;
// System menu: restore the window
inline constexpr StringId kStrMenuRestore = 2312;
// System menu: minimise the window
inline constexpr StringId kStrMenuMinimize = 2313;
// System menu: maximise the window
inline constexpr StringId kStrMenuMaximize = 2314;
// System menu: close the window
inline constexpr StringId kStrMenuClose = 2315;
// Notification-area menu: shows the operator information
inline constexpr StringId kStrTrayOperatorInfo = 2316;
// Indicator tool tip: signal strength
inline constexpr StringId kStrTipSignal = 2317;
// Indicator tool tip: network type
inline constexpr StringId kStrTipNetworkType = 2318;
// Indicator tool tip: roaming
inline constexpr StringId kStrTipRoaming = 2319;
// Indicator tool tip: operator
inline constexpr StringId kStrTipOperator = 2320;
// Indicator tool tip: service state
inline constexpr StringId kStrTipService = 2321;
// Indicator tool tip: unread messages
inline constexpr StringId kStrTipUnread = 2322;
// Indicator tool tip: message storage full
inline constexpr StringId kStrTipInboxFull = 2323;
// Indicator tool tip: call
inline constexpr StringId kStrTipCall = 2324;
// Indicator tool tip: Internet connection
inline constexpr StringId kStrTipConnected = 2325;
// Indicator tool tip: data sent in this connection
inline constexpr StringId kStrTipSentKb = 2326;
// Indicator tool tip: data received in this connection
inline constexpr StringId kStrTipReceivedKb = 2327;
// Indicator tool tip: send rate
inline constexpr StringId kStrTipSendRate = 2328;
// Indicator tool tip: receive rate
inline constexpr StringId kStrTipReceiveRate = 2329;
// Button of boxes and dialogs: OK
inline constexpr StringId kStrButtonOk = 2330;
// Button of boxes and dialogs: Cancel
inline constexpr StringId kStrButtonCancel = 2331;
// Button of boxes and dialogs: Yes
inline constexpr StringId kStrButtonYes = 2332;
// Button of boxes and dialogs: No
inline constexpr StringId kStrButtonNo = 2333;
// Button of boxes and dialogs: Close
inline constexpr StringId kStrStdButtonClose = 2334;
// Button of boxes and dialogs: Save
inline constexpr StringId kStrButtonSave = 2335;
// Button of boxes and dialogs: Open
inline constexpr StringId kStrButtonOpen = 2336;
// Button of boxes and dialogs: Apply
inline constexpr StringId kStrButtonApply = 2337;
// Button of boxes and dialogs: Help
inline constexpr StringId kStrButtonHelp = 2338;
// Main window: tool tip of the button that opens the system menu
inline constexpr StringId kStrTipSystemMenu = 2339;
// PIN entry window title
inline constexpr StringId kStrTitlePinEntry = 700;
// PIN entry window: what the card asks for
inline constexpr StringId kStrPinEntryPrompt = 701;
// Label of a PIN field
inline constexpr StringId kStrLabelPin = 702;
// Label of the new PIN field
inline constexpr StringId kStrLabelNewPin = 703;
// Label of the new PIN's confirmation
inline constexpr StringId kStrLabelConfirmPin = 704;
// PIN: one attempt left, announced before it is used
inline constexpr StringId kStrLastPinAttempt = 705;
// PUK: one attempt left, announced before it is used
inline constexpr StringId kStrLastPukAttempt = 706;
// PIN entry at start-up: give up and go on without the card
inline constexpr StringId kStrButtonWithoutCard = 709;
// Change PIN window title
inline constexpr StringId kStrTitleChangePin = 710;
// Unblock window title
inline constexpr StringId kStrTitleUnblock = 711;
// Security buttons: switch the PIN request on
inline constexpr StringId kStrButtonLockOn = 712;
// Security buttons: switch the PIN request off
inline constexpr StringId kStrButtonLockOff = 713;
// Security buttons: unblock the card with the PUK
inline constexpr StringId kStrButtonUnblock = 714;
// Security buttons: change the PIN
inline constexpr StringId kStrButtonChangePin = 715;
// Main window tab: the settings page
inline constexpr StringId kStrTabSettings = 716;
// Settings tab: traffic display
inline constexpr StringId kStrTabTraffic = 717;
// Settings tab: usage limit
inline constexpr StringId kStrTabUsageLimit = 718;
// Settings tab: general settings
inline constexpr StringId kStrTabGeneral = 719;
// Settings tab: PIN security
inline constexpr StringId kStrTabSecurity = 720;
// Settings tab: network selection
inline constexpr StringId kStrTabNetwork = 721;
// Settings tab: skin
inline constexpr StringId kStrTabSkin = 722;
// Settings tab: message settings
inline constexpr StringId kStrTabMessageSettings = 723;
// Settings tab: wireless LAN settings
inline constexpr StringId kStrTabWlan = 724;
// General page: the radio group
inline constexpr StringId kStrGroupRadio = 725;
// General page: switch the radio on
inline constexpr StringId kStrButtonRadioOn = 726;
// General page: switch the radio off
inline constexpr StringId kStrButtonRadioOff = 727;
// General page: the radio is on
inline constexpr StringId kStrRadioIsOn = 728;
// General page: the radio is off
inline constexpr StringId kStrRadioIsOff = 729;
// Network page: the selection mode group
inline constexpr StringId kStrGroupSelectionMode = 730;
// Network page: automatic registration
inline constexpr StringId kStrModeAutomatic = 731;
// Network page: manual registration
inline constexpr StringId kStrModeManual = 732;
// Network page: search for operators
inline constexpr StringId kStrButtonSearch = 733;
// Network page: register
inline constexpr StringId kStrButtonRegister = 734;
// Network page: the system preference group
inline constexpr StringId kStrGroupPreference = 735;
// System preference 1
inline constexpr StringId kStrPreference1 = 736;
// System preference 2
inline constexpr StringId kStrPreference2 = 737;
// System preference 3
inline constexpr StringId kStrPreference3 = 738;
// System preference 4
inline constexpr StringId kStrPreference4 = 739;
// Skin page: the skin group
inline constexpr StringId kStrGroupSkin = 741;
// Skin 0
inline constexpr StringId kStrSkinLight = 742;
// Skin 1
inline constexpr StringId kStrSkinDark = 743;
// Traffic page: the unit group
inline constexpr StringId kStrGroupTrafficUnit = 744;
// Traffic unit option 0
inline constexpr StringId kStrTrafficUnitKb = 745;
// Traffic unit option 1
inline constexpr StringId kStrTrafficUnitMb = 746;
// Traffic unit option 2
inline constexpr StringId kStrTrafficUnitAuto = 747;
// Main window: the card asks for its PIN (click to enter it)
inline constexpr StringId kStrCardLockedIndicator = 748;
// Main window: the card asks for its PUK (click to unblock it)
inline constexpr StringId kStrCardBlockedIndicator = 749;
// Main window: the card is destroyed or missing
inline constexpr StringId kStrCardUnusableIndicator = 750;
// General page: the PIN group
inline constexpr StringId kStrGroupPin = 751;
// A settings page: the settings were applied
inline constexpr StringId kStrSettingsSaved = 752;
// Automatic connection: no connection type worked
inline constexpr StringId kStrAutoConnectFailed = 2100;
// Dial-up: the program pppd is not installed
inline constexpr StringId kStrPppdMissing = 2101;
// Dial-up: the kernel has no PPP device (/dev/ppp)
inline constexpr StringId kStrPppKernelMissing = 2102;
// Dial-up: the user is not a member of the group dip
inline constexpr StringId kStrNotInDipGroup = 2103;
// Dial-up: the dashboard's pppd peers file is missing
inline constexpr StringId kStrPeersFileMissing = 2104;
// Dial-up: the modem's data port was not found
inline constexpr StringId kStrDataPortMissing = 2105;
// Dial-up: pppd could not be started
inline constexpr StringId kStrPppdNotStarted = 2106;
// pppd exit status 1: fatal error
inline constexpr StringId kStrPppdExit1 = 2111;
// pppd exit status 2: options refused
inline constexpr StringId kStrPppdExit2 = 2112;
// pppd exit status 3: not allowed to run
inline constexpr StringId kStrPppdExit3 = 2113;
// pppd exit status 4: no PPP support in the kernel
inline constexpr StringId kStrPppdExit4 = 2114;
// pppd exit status 5: ended by a signal
inline constexpr StringId kStrPppdExit5 = 2115;
// pppd exit status 6: the port is locked by another program
inline constexpr StringId kStrPppdExit6 = 2116;
// pppd exit status 7: the port could not be opened
inline constexpr StringId kStrPppdExit7 = 2117;
// pppd exit status 8: the dial (connect script) failed
inline constexpr StringId kStrPppdExit8 = 2118;
// pppd exit status 9: the pty command failed
inline constexpr StringId kStrPppdExit9 = 2119;
// pppd exit status 10: PPP negotiation failed
inline constexpr StringId kStrPppdExit10 = 2120;
// pppd exit status 11: the peer failed to authenticate
inline constexpr StringId kStrPppdExit11 = 2121;
// pppd exit status 12: idle time-out
inline constexpr StringId kStrPppdExit12 = 2122;
// pppd exit status 13: connect time limit
inline constexpr StringId kStrPppdExit13 = 2123;
// pppd exit status 14: callback
inline constexpr StringId kStrPppdExit14 = 2124;
// pppd exit status 15: the peer stopped answering
inline constexpr StringId kStrPppdExit15 = 2125;
// pppd exit status 16: the modem hung up
inline constexpr StringId kStrPppdExit16 = 2126;
// pppd exit status 17: loopback detected
inline constexpr StringId kStrPppdExit17 = 2127;
// pppd exit status 18: the init script failed
inline constexpr StringId kStrPppdExit18 = 2128;
// pppd exit status 19: authentication refused
inline constexpr StringId kStrPppdExit19 = 2129;
// pppd ended with an unknown exit status
inline constexpr StringId kStrPppdExitOther = 2130;
// Wireless LAN: no wireless device found
inline constexpr StringId kStrWlanNoDevice = 2140;
// Wireless LAN: connecting failed
inline constexpr StringId kStrWlanConnectFailed = 2141;
// Wireless LAN: NetworkManager is not running
inline constexpr StringId kStrWlanNoService = 2142;
// Wireless LAN: no visible network
inline constexpr StringId kStrWlanNoNetwork = 2143;
// Internet page: tab title
inline constexpr StringId kStrInetTabTitle = 2150;
// Internet page: button that connects 3G
inline constexpr StringId kStrInetConnect3G = 2151;
// Internet page: button that connects 1X
inline constexpr StringId kStrInetConnect1X = 2152;
// Internet page: button that connects the wireless LAN
inline constexpr StringId kStrInetConnectWlan = 2153;
// Internet page: button that disconnects 3G
inline constexpr StringId kStrInetDisconnect3G = 2154;
// Internet page: button that disconnects 1X
inline constexpr StringId kStrInetDisconnect1X = 2155;
// Internet page: button that disconnects the wireless LAN
inline constexpr StringId kStrInetDisconnectWlan = 2156;
// Internet page: button of the automatic connection
inline constexpr StringId kStrInetAutoConnect = 2157;
// Internet page and windows: cancel button
inline constexpr StringId kStrInetCancel = 2158;
// Internet page: label of the profile list
inline constexpr StringId kStrInetProfile = 2159;
// Profile fields: phone number
inline constexpr StringId kStrInetPhone = 2160;
// Profile fields: user name
inline constexpr StringId kStrInetUser = 2161;
// Profile fields: password
inline constexpr StringId kStrInetPassword = 2162;
// Profile fields: access point name
inline constexpr StringId kStrInetApn = 2163;
// Profile fields: default mark
inline constexpr StringId kStrInetDefault = 2164;
// Profile fields: authentication group
inline constexpr StringId kStrInetAuth = 2165;
// Profile fields: no authentication required
inline constexpr StringId kStrInetAuthNone = 2166;
// Profile buttons: new
inline constexpr StringId kStrInetNew = 2167;
// Profile buttons: edit in the profile manager
inline constexpr StringId kStrInetEdit = 2168;
// Profile buttons: delete
inline constexpr StringId kStrInetDelete = 2169;
// Profile buttons: save
inline constexpr StringId kStrInetSave = 2170;
// Profile fields: name
inline constexpr StringId kStrInetName = 2171;
// Internet page: label of the duration
inline constexpr StringId kStrInetDuration = 2172;
// Internet page: label of the data sent
inline constexpr StringId kStrInetSent = 2173;
// Internet page: label of the data received
inline constexpr StringId kStrInetReceived = 2174;
// Internet page: label of the nominal rate
inline constexpr StringId kStrInetRate = 2175;
// Internet page: label of the status line
inline constexpr StringId kStrInetStatus = 2176;
// Internet page: settings group
inline constexpr StringId kStrInetSettings = 2177;
// Internet page: WLAN settings window button and title
inline constexpr StringId kStrInetWlanSettings = 2178;
// Internet page: connect at start window button and title
inline constexpr StringId kStrInetStartSettings = 2179;
// Internet page: order of the automatic connection window button and title
inline constexpr StringId kStrInetAutoOrder = 2180;
// Internet page: close behaviour window button and title
inline constexpr StringId kStrInetCloseSettings = 2181;
// New connection profile window: title
inline constexpr StringId kStrInetNewConnTitle = 2182;
// Profile manager window: title
inline constexpr StringId kStrInetManagerTitle = 2183;
// Connect at start window: check box
inline constexpr StringId kStrInetConnectAtStart = 2184;
// Order window: label of a position; %d is 1, 2 or 3
inline constexpr StringId kStrInetOrderN = 2185;
// Connection type name: wireless LAN
inline constexpr StringId kStrInetTypeWlan = 2186;
// Connection type name: 3G
inline constexpr StringId kStrInetType3G = 2187;
// Connection type name: 1X
inline constexpr StringId kStrInetType1X = 2188;
// WLAN settings window: first text (the account)
inline constexpr StringId kStrInetWlanText1 = 2189;
// WLAN settings window: second text (the password)
inline constexpr StringId kStrInetWlanText2 = 2190;
// WLAN settings window: keep the second text
inline constexpr StringId kStrInetWlanKeep = 2191;
// WLAN settings window: province list label
inline constexpr StringId kStrInetProvince = 2192;
// Internet page: label of the wireless LAN state
inline constexpr StringId kStrInetWlanState = 2193;
// Internet page: a wireless device is present; %s its name, %d networks in range
inline constexpr StringId kStrInetWlanAvailable = 2194;
// Windows of the Internet page: OK button
inline constexpr StringId kStrInetOk = 2195;
// Close behaviour window: hide choice
inline constexpr StringId kStrInetCloseHide = 2196;
// Close behaviour window: exit choice
inline constexpr StringId kStrInetCloseExit = 2197;
// Close behaviour window: remember choice
inline constexpr StringId kStrInetCloseRemember = 2198;
// Internet page: dial-up cannot work here, followed by the reason
inline constexpr StringId kStrInetDialBlocked = 2199;

// Help: no program could show the help document (%s: its path)
inline constexpr StringId kStrHelpNoViewer = 3500;
// Main window: tab of the call page
inline constexpr StringId kStrTabCalls = 5100;
// Call page: the dial button
inline constexpr StringId kStrButtonDial = 5101;
// Call page: the end button
inline constexpr StringId kStrButtonEndCall = 5102;
// Call page: the erase key (a short press removes one character, a long press empties the field)
inline constexpr StringId kStrButtonErase = 5103;
// Call page and main window: the button that opens the call history
inline constexpr StringId kStrButtonCallHistory = 5104;
// Call page: the label of the volume slider
inline constexpr StringId kStrLabelVolume = 5105;
// Incoming-call pop-up: its title
inline constexpr StringId kStrTitleIncomingCall = 5106;
// Incoming-call pop-up: the answer button
inline constexpr StringId kStrButtonAnswer = 5107;
// Incoming-call pop-up: the reject button
inline constexpr StringId kStrButtonReject = 5108;
// Incoming-call pop-up: the button that silences the pop-up and lets the call ring on
inline constexpr StringId kStrButtonIgnore = 5109;
// Desktop notification title: a call was not answered
inline constexpr StringId kStrMissedCallTitle = 5110;
// Desktop notification text: a call was not answered; %s is the caller's name or number
inline constexpr StringId kStrMissedCallText = 5111;
// A number handed to the call page is longer than 40 characters; nothing is dialled
inline constexpr StringId kStrDialNumberTooLong = 5112;
// Call page: the called number is busy
inline constexpr StringId kStrNumberBusy = 5113;
// Call page and call history: open the message window with the number
inline constexpr StringId kStrButtonSendMessage = 5114;
// Call history: save the number into the phonebook
inline constexpr StringId kStrButtonSaveToPhonebook = 5115;
// Call history: delete the selected calls
inline constexpr StringId kStrButtonDelete = 5116;
// Call history: delete every call of the shown list
inline constexpr StringId kStrButtonDeleteAll = 5117;
// Call history: dial the selected call's number
inline constexpr StringId kStrButtonCallBack = 5118;
// Call page: pick a number from the phonebook
inline constexpr StringId kStrButtonContacts = 5119;
// Number choice dialog: its title
inline constexpr StringId kStrTitleChooseNumber = 5120;
// Call page display while the dial command is outstanding
inline constexpr StringId kStrCalling = 5121;
// Position dialog: label before the choice of the number field
inline constexpr StringId kStrLabelSaveNumberAs = 5124;
// Number choice dialog: the phonebook has no contact with a number
inline constexpr StringId kStrNoContactWithNumber = 5125;
// A number given on the command line or in a link could not be dialled because the call page is off
inline constexpr StringId kStrCallsSwitchedOff = 5126;
// Main window indicator tip: calls not answered since the call history was last looked at; %d is their count
inline constexpr StringId kStrMissedCallsTip = 5127;
// Statistics page: tab title
inline constexpr StringId kStrStatTabTitle = 6300;
// Statistics panel: label of the last update time
inline constexpr StringId kStrStatUpdated = 6301;
// Statistics panel: row of today
inline constexpr StringId kStrStatToday = 6302;
// Statistics panel: row of this month
inline constexpr StringId kStrStatMonth = 6303;
// Statistics panel: row of this year
inline constexpr StringId kStrStatYear = 6304;
// Statistics panel: column of sent megabytes
inline constexpr StringId kStrStatSentMB = 6305;
// Statistics panel: column of received megabytes
inline constexpr StringId kStrStatReceivedMB = 6306;
// Statistics panel: connected time since the last reset (days hours:minutes)
inline constexpr StringId kStrStatTotalTime = 6307;
// Statistics panel: reset button
inline constexpr StringId kStrStatReset = 6308;
// Statistics page: button opening the connection list
inline constexpr StringId kStrStatConnectionList = 6309;
// Statistics page and connection list: button opening the monthly list
inline constexpr StringId kStrStatMonthlyList = 6310;
// Connection list column: start time
inline constexpr StringId kStrLogColStart = 6311;
// Connection and monthly list column: connected time
inline constexpr StringId kStrLogColDuration = 6312;
// Connection list column: received kilobytes
inline constexpr StringId kStrLogColReceivedKB = 6313;
// Connection list column: sent kilobytes
inline constexpr StringId kStrLogColSentKB = 6314;
// Connection list: label of the received sum
inline constexpr StringId kStrLogSumReceived = 6315;
// Connection list: label of the sent sum
inline constexpr StringId kStrLogSumSent = 6316;
// Connection list: delete button
inline constexpr StringId kStrLogDelete = 6317;
// Connection list: export button
inline constexpr StringId kStrLogExport = 6318;
// List windows: close button
inline constexpr StringId kStrLogClose = 6319;
// Monthly list column: month
inline constexpr StringId kStrMonthColMonth = 6320;
// Monthly list column: received
inline constexpr StringId kStrMonthColReceived = 6321;
// Monthly list column: sent
inline constexpr StringId kStrMonthColSent = 6322;
// Monthly list column: total
inline constexpr StringId kStrMonthColTotal = 6323;
// Usage limit page: check box watching the limit
inline constexpr StringId kStrLimitWatch = 6324;
// Usage limit page: limit by data volume
inline constexpr StringId kStrLimitByData = 6325;
// Usage limit page: limit by connected time
inline constexpr StringId kStrLimitByTime = 6326;
// Usage limit page: label of the data limit
inline constexpr StringId kStrLimitDataLabel = 6327;
// Usage limit page: label of the time limit
inline constexpr StringId kStrLimitTimeLabel = 6328;
// Usage limit page: second check box (shows what is left)
inline constexpr StringId kStrLimitShowLeft = 6329;
// Usage limit page: label of what is left
inline constexpr StringId kStrLimitLeft = 6330;
// Usage limit warning: the time limit was passed
inline constexpr StringId kStrTimeLimitPassed = 6331;
// Usage limit warning: the data volume limit was passed
inline constexpr StringId kStrDataLimitPassed = 6332;
// Statistics page: title of the connection list window
inline constexpr StringId kStrNetLogTitle = 6333;
// Statistics page: title of the monthly list window
inline constexpr StringId kStrMonthLogTitle = 6334;
// Traffic chart: title of the daily bars
inline constexpr StringId kStrChartDays = 6335;
// Traffic chart: title of the monthly bars
inline constexpr StringId kStrChartMonths = 6336;

// Phonebook page: tab title
inline constexpr StringId kStrPbPageTitle = 1600;
// Phonebook page: new contact button
inline constexpr StringId kStrPbNew = 1601;
// Phonebook page: edit button
inline constexpr StringId kStrPbEdit = 1602;
// Phonebook page: delete button
inline constexpr StringId kStrPbDelete = 1603;
// Phonebook page: delete-all button
inline constexpr StringId kStrPbDeleteAll = 1604;
// Phonebook page: search button
inline constexpr StringId kStrPbSearch = 1605;
// Phonebook page: import button
inline constexpr StringId kStrPbImport = 1606;
// Phonebook page: export button
inline constexpr StringId kStrPbExport = 1607;
// Phonebook page: button opening the modem phonebook window
inline constexpr StringId kStrPbTransfer = 1608;
// Phonebook page: send-message button
inline constexpr StringId kStrPbSendMessage = 1609;
// Phonebook page: call button
inline constexpr StringId kStrPbCall = 1610;
// Phonebook page: placeholder of the quick search field
inline constexpr StringId kStrPbQuickSearch = 1611;
// Contact editor: window title
inline constexpr StringId kStrPbEditorTitle = 1612;
// Contact editor: label of the first number
inline constexpr StringId kStrPbMobile = 1613;
// Contact editor: button choosing a picture
inline constexpr StringId kStrPbChoosePicture = 1614;
// Contact editor: button removing the picture
inline constexpr StringId kStrPbRemovePicture = 1615;
// Dialog button: OK
inline constexpr StringId kStrOk = 1616;
// Dialog button: Cancel
inline constexpr StringId kStrCancel = 1617;
// Search dialog: window title
inline constexpr StringId kStrPbSearchTitle = 1618;
// Search dialog: previous result
inline constexpr StringId kStrPbPrevious = 1619;
// Search dialog: next result
inline constexpr StringId kStrPbNext = 1620;
// Contact selection dialog: window title
inline constexpr StringId kStrPbSelectContactTitle = 1621;
// Number choice dialog: window title and prompt
inline constexpr StringId kStrPbSelectNumberTitle = 1622;
// Position dialog: window title and prompt
inline constexpr StringId kStrPbSelectPositionTitle = 1623;
// Position dialog: keep the choice for the rest of the selection
inline constexpr StringId kStrPbKeepChoice = 1624;
// Transfer window: title
inline constexpr StringId kStrPbTransferTitle = 1625;
// Transfer window: copy left to right
inline constexpr StringId kStrPbCopyRight = 1626;
// Transfer window: copy right to left
inline constexpr StringId kStrPbCopyLeft = 1627;
// Transfer window: move left to right
inline constexpr StringId kStrPbMoveRight = 1628;
// Transfer window: move right to left
inline constexpr StringId kStrPbMoveLeft = 1629;
// Wait window: text while the modem phonebook is read or written
inline constexpr StringId kStrPbTransfering = 1630;
// Contact editor: file types of the picture dialog
inline constexpr StringId kStrPbPictureFilter = 1631;
// Contact editor: title of the picture dialog
inline constexpr StringId kStrPbPictureDialogTitle = 1632;
// Phonebook page: number of contacts shown (%1 shown, %2 in all)
inline constexpr StringId kStrPbCount = 1633;
// Dialog button: Close
inline constexpr StringId kStrClose = 1634;
// Contact editor: label of the picture
inline constexpr StringId kStrPbPicture = 1635;
// Transfer: the card went away or locked during the read
inline constexpr StringId kStrPbCardUnavailable = 1640;
// Transfer: a number that cannot be written to the modem; nothing is sent for that entry
inline constexpr StringId kStrPbNumberNotWritable = 1641;
// Transfer: a PC contact without a number; it stays on the PC
inline constexpr StringId kStrPbNothingToWrite = 1642;
// Transfer window: refused without a ready card
inline constexpr StringId kStrPbCardNotReady = 1643;
// Transfer window: the modem reports no phonebook locations
inline constexpr StringId kStrPbNoLocations = 1644;

// Dialog button: Yes
inline constexpr StringId kStrYes = 1636;
// Dialog button: No
inline constexpr StringId kStrNo = 1637;
// Message read window: show the previous message of the list
inline constexpr StringId kStrSmsPrevious = 3400;
// Message read window: show the next message of the list
inline constexpr StringId kStrSmsNext = 3401;
// Message read window, outbox and saved box: show the first message
inline constexpr StringId kStrSmsFirst = 3402;
// Message read window, outbox and saved box: show the last message
inline constexpr StringId kStrSmsLast = 3403;
// Messages page: open the selected message in the read window
inline constexpr StringId kStrSmsRead = 3404;
// Messages page: reply to the selected message
inline constexpr StringId kStrSmsReply = 3405;
// Messages page: forward the text of the selected message
inline constexpr StringId kStrSmsForward = 3406;
// Messages page: send the selected message again
inline constexpr StringId kStrSmsResend = 3407;
// Messages page: call the number of the selected message
inline constexpr StringId kStrSmsCallBack = 3408;
// Messages page: delete the selected messages
inline constexpr StringId kStrSmsDelete = 3409;
// Messages page: write a new message
inline constexpr StringId kStrSmsNew = 3410;
// Messages page: open the transfer window (modem and card storages)
inline constexpr StringId kStrSmsTransfer = 3411;
// Messages page: export messages to a file
inline constexpr StringId kStrSmsExport = 3412;
// Messages page: save the number of the selected message into the phonebook
inline constexpr StringId kStrSmsSaveNumber = 3413;
// Message export window: the choice of all boxes together
inline constexpr StringId kStrSmsAllBoxes = 3414;
// Message export window: title
inline constexpr StringId kStrSmsExportTitle = 3415;
// Message read window: title
inline constexpr StringId kStrSmsReadTitle = 3416;
// Message export window: label above the box choice
inline constexpr StringId kStrSmsExportChoose = 3417;
// Message read window: label of the contact name
inline constexpr StringId kStrSmsFieldName = 3418;
// Message read window: label of the number
inline constexpr StringId kStrSmsFieldNumber = 3419;
// Message read window: label of the time
inline constexpr StringId kStrSmsFieldTime = 3420;
// Messages page: a store change could not be saved; the text after it says why
inline constexpr StringId kStrSmsStoreNotSaved = 3421;
// Messages page: the OK button of the export window
inline constexpr StringId kStrSmsOk = 3422;
// Messages page: the Cancel button of the export window
inline constexpr StringId kStrSmsCancel = 3423;
// Messages page: open the first message marked new
inline constexpr StringId kStrSmsShowNew = 3424;
// Main window: tab of the messages page
inline constexpr StringId kStrTabMessages = 3425;
// Messages page: delete every message of the shown box
inline constexpr StringId kStrSmsDeleteAll = 3426;
// Messages page: prompt of the window choosing which number of a message goes into the phonebook
inline constexpr StringId kStrSmsChooseNumber = 3427;
// Message sending: another message is still being sent
inline constexpr StringId kStrSendBusy = 3300;
// Messages: a number (recipient or message centre, %s) holds characters other than dial characters; nothing was sent
inline constexpr StringId kStrBadMessageNumber = 3301;
// Delivery report: the message to the number %s was delivered
inline constexpr StringId kStrDeliverySuccess = 3302;
// Delivery report: the message to the number %s was not delivered
inline constexpr StringId kStrDeliveryFailed = 3303;
// Desktop notice title: a new message from %s (name or number)
inline constexpr StringId kStrNewMessageFrom = 3304;
// Desktop notice title: a delivery report
inline constexpr StringId kStrDeliveryReportTitle = 3305;
// Message write window: title
inline constexpr StringId kStrWriteTitle = 3306;
// Message write window: label of the recipients field (numbers separated by ;)
inline constexpr StringId kStrRecipientsLabel = 3307;
// Message write window: label of the text field
inline constexpr StringId kStrMessageTextLabel = 3308;
// Message write window: send button
inline constexpr StringId kStrSendButton = 3309;
// Message write window: save button
inline constexpr StringId kStrSaveButton = 3310;
// Message windows: close button
inline constexpr StringId kStrCloseButton = 3311;
// Message send progress window: title
inline constexpr StringId kStrSendingTitle = 3312;
// Command line --send-sms: the message went to the number %s
inline constexpr StringId kStrCliSent = 3313;
// Command line --send-sms: the message did not go to the number %s
inline constexpr StringId kStrCliNotSent = 3314;
// Command line --send-sms: sending stopped before the number %s was served
inline constexpr StringId kStrCliNotServed = 3315;
// Command line --send-sms and the message write window: sending could not start (modem not ready, a call, or a send running)
inline constexpr StringId kStrCliSendRefused = 3316;
// Message settings and write window: label of the message centre number
inline constexpr StringId kStrServiceCentreLabel = 3317;
// Message write window: label of the part counter
inline constexpr StringId kStrPartOfParts = 3318;
// Message write window: button that adds recipients from the phonebook
inline constexpr StringId kStrPickContacts = 3320;
// Command line --send-sms: the text is longer than five parts hold
inline constexpr StringId kStrCliTextTooLong = 3321;

// Message transfer: the modem refused a command (error answer); the transfer stopped
inline constexpr StringId kStrTransferFailed = 3350;
// Message transfer window: title
inline constexpr StringId kStrTransferTitle = 3351;
// Message storages: the computer's boxes
inline constexpr StringId kStrStoragePc = 3352;
// Message storages: the modem's memory "ME"
inline constexpr StringId kStrStorageMe = 3353;
// Message storages: the card "SM"
inline constexpr StringId kStrStorageSm = 3354;
// Message transfer: used and total locations of a device storage (%d used, %d total)
inline constexpr StringId kStrStorageCounts = 3355;
// Message transfer: copy the selection from the left pane to the right one
inline constexpr StringId kStrCopyRight = 3356;
// Message transfer: copy the selection from the right pane to the left one
inline constexpr StringId kStrCopyLeft = 3357;
// Message transfer: move the selection from the left pane to the right one
inline constexpr StringId kStrMoveRight = 3358;
// Message transfer: move the selection from the right pane to the left one
inline constexpr StringId kStrMoveLeft = 3359;
// Message transfer: delete the selection of a pane
inline constexpr StringId kStrTransferDelete = 3360;
// Message transfer progress: copying or moving
inline constexpr StringId kStrTransferProgress = 3361;
// Message transfer progress: reading the modem's and the card's messages
inline constexpr StringId kStrReadingDevice = 3362;
// Message transfer: the computer's box of saved messages
inline constexpr StringId kStrBoxSaved = 3363;
// Message settings: label of the validity period choice
inline constexpr StringId kStrValidityLabel = 3369;
// Message settings: validity 1 hour
inline constexpr StringId kStrValidity1Hour = 3370;
// Message settings: validity 6 hours
inline constexpr StringId kStrValidity6Hours = 3371;
// Message settings: validity 1 day
inline constexpr StringId kStrValidity1Day = 3372;
// Message settings: validity 3 days
inline constexpr StringId kStrValidity3Days = 3373;
// Message settings: validity 1 week
inline constexpr StringId kStrValidity1Week = 3374;
// Message settings: validity 52 weeks (the longest)
inline constexpr StringId kStrValidityMax = 3375;
// Message settings: ask for a delivery report
inline constexpr StringId kStrDeliveryReportCheck = 3376;
// Message settings: label of the storage for new messages
inline constexpr StringId kStrPreferredStorageLabel = 3377;
// Message settings: group of the sending choices
inline constexpr StringId kStrGroupMessageSending = 3378;
// Message settings: group of the storage choice
inline constexpr StringId kStrGroupMessageStorage = 3379;
// Message settings: the modem refused or did not answer the storage choice
inline constexpr StringId kStrStorageNotSet = 3380;
// Message transfer: a move deletes the source after the copy (tool tip of the move buttons)
inline constexpr StringId kStrMoveCheck = 3381;
// Message transfer: a message is too long to be written into a device storage (more than five parts); the transfer stopped
inline constexpr StringId kStrTransferTooLong = 3382;
// Usage limit notification: title
inline constexpr StringId kStrLimitNoticeTitle = 3600;
// Internet page: group of the connection records (connection and monthly lists)
inline constexpr StringId kStrInetRecords = 3601;
// Call page: accessible name of the field of the number to dial
inline constexpr StringId kStrCallNumberField = 3602;

}  // namespace evdo
