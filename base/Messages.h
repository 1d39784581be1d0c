#pragma once
// The program-wide message strings. Every status, prompt and caption text the catalogue and the
// windows show is one of these keys; the shell fills them from lang.ini when the language is
// applied, and a key the file lacks stays empty. Main thread only.

#include <QString>
#include <QStringList>

namespace vorlane {

// The keys in lang.ini order. The odd spellings are the file's own keys and must stay.
// clang-format off
#define VORLANE_MESSAGE_KEYS(X) \
    X(SM_PLAYENABLED) \
    X(SM_PLAYDISABLED) \
    X(SM_AUTOEDITENABLED) \
    X(SM_AUTOEDITDISABLED) \
    X(SM_TIMERSET) \
    X(SM_TIMERDISABLED) \
    X(SM_EQENABLED) \
    X(SM_EQDISABLED) \
    X(SM_OPENINCLUDES) \
    X(SM_ADDDIR) \
    X(SM_CHANGEDIR) \
    X(SM_HELP) \
    X(SM_HELLO) \
    X(SM_ADDDIRCOMPLETED) \
    X(SM_DIRDEL) \
    X(SM_DIRREFRESH) \
    X(SM_FILEDEL) \
    X(SM_FILEOPEN) \
    X(SM_PLAY) \
    X(SM_COPYCOMPLETED) \
    X(SM_COPYFINISHED) \
    X(SM_MOVECOMPLETED) \
    X(SM_MOVEFINISHED) \
    X(SM_MINUTE) \
    X(SM_PLAYERSTOPTIME) \
    X(SM_PROGRAMCLOSETIME) \
    X(SM_COMPUTERSHUTDOWNTIME) \
    X(SM_PLAYERSTOPTIMEALARM) \
    X(SM_PROGRAMCLOSETIMEALARM) \
    X(SM_COMPUTERSHUTDOWNTIMEALARM) \
    X(SM_CATALOG) \
    X(SM_COMPUTER) \
    X(SM_INTERNET) \
    X(SM_BOOKMARKS) \
    X(SM_EXIT) \
    X(SM_WITHINCLUDES) \
    X(SM_FILESTOCOPY) \
    X(SM_FILESTOMOVE) \
    X(SM_FILESTODELETE) \
    X(SM_BOOKMARKSET) \
    X(SM_BOOKMARKEDIT) \
    X(SM_BOOKMARKDELETE) \
    X(SM_INTERNETLOAD) \
    X(SM_WANTSEERESULTS) \
    X(SM_DUPLICATESERCHCOMP) \
    X(SM_FILESDELETED) \
    X(SM_DELETEDAREYOUSURE) \
    X(SM_ENTERSEARCHQUERY) \
    X(SM_INETSEARCH) \
    X(SM_INETSEAERCHSTART) \
    X(SM_COPYFAILED) \
    X(SM_MOVEFAILED) \
    X(SM_COMPENABLED) \
    X(SM_COMPDISABLED) \
    X(SM_ECHOENABLED) \
    X(SM_ECHODISABLED) \
    X(SM_COVERSCHANGED) \
    X(SM_INETENABLED) \
    X(SM_CLICKFORCLOSE) \
    X(SM_PLAYLISTS) \
    X(SM_FILESADDEDTOPLAYLIST) \
    X(SM_EQPRESETSUSER) \
    X(SM_EQPRESETSBASS) \
    X(SM_EQPRESETSQUIET) \
    X(SM_EQPRESETSROCK) \
    X(SM_EQPRESETSAUDIOBOOK) \
    X(SM_FREESPACEONDISK) \
    X(SM_DBLCLICKHIDE) \
    X(SM_ClICKSHOW) \
    X(SM_NEWLOCALFILESINACCOUNT) \
    X(SM_NEWFILES) \
    X(SM_ACCUPDATEBEGIN) \
    X(SM_ACCUPDATEEND) \
    X(SM_RECORDINGSTARTED) \
    X(SM_RECORDISSAVED) \
    X(SM_ACCCREATED) \
    X(SM_ACCCONNECTED) \
    X(SM_BUFFERLOAD) \
    X(SM_TAGSNOTSAVED) \
    X(SM_CATALOGOFF) \
    X(SM_SEARCHOFF) \
    X(SM_SEARCHSITEOFF) \
    X(SM_LISTLOAD) \
    X(SM_NAMEALPHABET) \
    X(SM_NAMEWAVEFORM) \
    X(SM_NAMEINDICATOR) \
    X(SM_NAMESTATUS) \
    X(SM_NAMEPOSITION) \
    X(SM_NAMESPEED) \
    X(SM_NAMEVOLUME) \
    X(SM_ACCOUNTOFF) \
    X(SM_STORAGEOFF) \
    X(SM_NEWSOFF) \
    X(SM_POWERDOWNFAILED)
// clang-format on

struct TMessages {
#define VORLANE_MESSAGE_FIELD(key) QString key;
    VORLANE_MESSAGE_KEYS(VORLANE_MESSAGE_FIELD)
#undef VORLANE_MESSAGE_FIELD
};

// The one message table of the program.
TMessages &Msg();

// The 91 keys in file order.
const QStringList &MessageKeys();

// Sets the message of one key; false for a key that is not a message key.
bool SetMessage(const QString &key, const QString &text);

// Empties every message (a missing language file or section).
void ClearMessages();

} // namespace vorlane
