#pragma once

#include <QString>
#include <initializer_list>
#include <string>

// The string table: texts by id, as the resource files in res/strings/ give them (UTF-8 there,
// Windows-1252 bytes here). An unknown id gives an empty text.
std::string LoadString(unsigned id);
QString LoadQString(unsigned id);
// The text of id with its "%1" replaced by the argument.
std::string FormatString1(unsigned id, const std::string& argument);
// The text of id with "%1", "%2"... replaced by the arguments in one pass, so an argument that holds
// "%2" itself is shown as it is.
std::string FormatString(unsigned id, std::initializer_list<std::string> arguments);

// Makes sure the resources compiled into the program are registered (static builds drop them otherwise).
void EnsureResources();
