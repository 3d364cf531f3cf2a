// The interface language: which gettext catalogue is in force, and `_()` for texts built in code.
// English texts are the message ids; a missing or unusable catalogue simply leaves them English.
#pragma once

#include <QString>
#include <QStringList>

namespace kv58 {

// The translation of `english` in the language in force (text domain "default"). The empty text
// stays empty. Call it where the text is shown, so a language switch shows on the next build.
QString _(const char* english);

// The same for a text held as a QString (window texts remembered by the window translation).
QString translate(const QString& english);

// Marks a caption for the catalogue without translating it here: the text is translated where it
// is shown (window translation, or `_()` on a variable). Extracted like `_()` by the catalogue check.
constexpr const char* N_(const char* english)
{
    return english;
}

// Folders that hold catalogues as <folder>/<language>/LC_MESSAGES/default.mo, searched in order.
// By default "locale" beside the executable, then the installed share/kv58/locale.
QStringList defaultCatalogueFolders();
QStringList catalogueFolders();
// Replaces the search list (tests, portable installs); takes effect at the next selectLanguage.
void setCatalogueFolders(const QStringList& folders);

// Makes `code` ("en", "de", "de_DE", ...) the language in force. Its catalogue is looked up in
// the folders above, under the full code and then under its first two letters. A catalogue whose
// header does not declare UTF-8 is not used. Without a usable catalogue the texts stay English,
// but `code` is the language in force all the same. Returns whether a catalogue is in use.
bool selectLanguage(const QString& code);

// The code given to the last selectLanguage ("en" before any selection).
QString language();

// `english` and its translation in every catalogue found in the catalogue folders, each text once,
// English first. The catalogues are read directly: the language in force stays as it is. Catalogues
// that do not declare UTF-8 are skipped, as by selectLanguage.
QStringList translationsEverywhere(const char* english);

// The catalogue file in use, or empty when texts stay English.
QString catalogueFile();

} // namespace kv58
