// Wide texts in assertion messages and in expected file contents.
#pragma once
#include <string>

// The text in UTF-8, for assertion messages and comparisons that print it
// readably on a failure.
std::string utf8(const std::wstring& text);
// Each unit's low byte: the bytes an ANSI file holds for a text of Latin-1
// letters (the names and folders the tests use).
std::string low_bytes(const std::wstring& text);
