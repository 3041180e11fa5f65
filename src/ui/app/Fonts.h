#pragma once
// The windows are laid out for "ＭＳ Ｐゴシック" 9 pt; that name is mapped to a Japanese font
// Debian ships, and the about box's "Times New Roman" to an installed serif font.

// Installs the font substitutions and makes the program font the default of every window.
// Call once after the QApplication exists.
void ApplyProgramFonts();
