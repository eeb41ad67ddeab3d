#pragma once

#include <string>
#include <utility>
#include <vector>

class QWidget;

// Help of the program: topic pages under res/help/html/ shown in a help window of the program, and
// control pop-ups whose texts come from a topic file of numbered texts.
enum : unsigned {
    HH_DISPLAY_TOPIC = 0,
    HH_TP_HELP_WM_HELP = 17,
};

// (control id, topic number) pairs, as the dialogs list them.
using HelpIdPairs = std::vector<std::pair<int, int>>;

// path is HelpPath followed by the page ("/html/dial3s6q.htm") or the topic file ("editepd.txt").
// HH_DISPLAY_TOPIC opens the page; HH_TP_HELP_WM_HELP pops up the topic of `window`'s control.
// Returns false when the page or topic does not exist.
bool AfxHtmlHelp(QWidget* window, const std::string& path, unsigned command, const HelpIdPairs& pairs = {});

// Gives every control "IDC_<id>" of the dialog its topic text as tool tip and What's This text.
void InstallControlHelp(QWidget* dialog, const std::string& topicFile, const HelpIdPairs& pairs);

// Shows the pop-up text of the control that has the keyboard focus (or of the nearest control around it
// that has one), as Shift+F1 asks; false when there is none.
bool ShowFocusedControlHelp(QWidget* focus);

// The text of a topic number in a topic file (empty when absent); for tests and the pop-ups.
std::string HelpTopicText(const std::string& topicFile, int topic);
// The page the help window shows last, with its "#" place if any (empty when none); for tests.
std::string LastHelpPage();
// The help window, while it exists; for tests.
QWidget* HelpWindow();
