// Names in UTF-8 that no single-byte code page holds, for files and folders a user may name in any script.
// The emoji is a surrogate pair in UTF-16, the case a converter most often gets wrong.
#pragma once

#include <string>

inline const std::string kGreekName = "\xCE\xA0\xCE\xB1\xCE\xBB\xCE\xAD\xCF\x84\xCE\xB1";     // Παλέτα
inline const std::string kJapaneseName = "\xE3\x83\x91\xE3\x83\xAC\xE3\x83\x83\xE3\x83\x88";  // パレット
inline const std::string kEmojiName = "\xF0\x9F\x8E\xA8";                                     // 🎨
