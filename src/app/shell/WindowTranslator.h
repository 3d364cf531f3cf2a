// Translates every text of a window (its widgets, actions and items) into the language in force,
// remembering each English source text so that a later switch starts from English again.
#pragma once

class QObject;
class QWidget;

namespace kv58 {

// The texts covered: window titles, tool tips, status tips, "What's this" and accessible texts of
// every widget; label, button and group box captions; tab texts and tab tool tips; texts, tool
// tips and status tips of actions (menus and tool bars included); combo box and list items; item
// texts and header texts of tree and table widgets; tool box page texts; place-holder texts and
// spin box prefixes, suffixes and special texts. The contents of text fields are data and are
// never translated, nor are object names or fonts.
//
// A text is remembered as English the first time the translation meets it. A text that code
// changed after the last translation belongs to that code: it stays as it is (the code shows it
// in the new language the next time it builds it) until the code sets it back to the English
// source or to the text last shown.
class WindowTranslator {
public:
    // First translation of a window: remember its English texts and show them translated.
    static void translate(QWidget* window);
    // Show the remembered English texts in the language in force; texts met for the first time
    // are remembered as English first.
    static void retranslate(QWidget* window);

    // Leaves `object` and everything it owns out of every translation, e.g. lists of data such
    // as the history log, the instrument list or the style list.
    static void exclude(QObject* object);
    // Leaves every object of the class (and of classes derived from it) out of every
    // translation of every window, e.g. "TReportListView" for tables of measured data.
    static void excludeClass(const char* className);
};

} // namespace kv58
