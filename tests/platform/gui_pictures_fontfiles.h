#pragma once
// Makes font files unreadable to FreeType, whatever the machine has installed.

enum class FontFiles { Readable, Type1Refused, AllRefused };
void setFontFiles(FontFiles state);
