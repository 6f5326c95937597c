// Reading JSON files safely and writing the compact serialisation of a document.
// Part of the document layer beside TGame: whole documents are parsed, copied and
// written here; rules never come here.
#pragma once

#include <string>

#include "model/game.hpp"

namespace reedmark {

// Files larger than this are refused before parsing (a full campaign is under 1 MB).
constexpr size_t kMaxJsonFileBytes = 64u * 1024u * 1024u;
// Documents nested deeper than this are refused (a campaign is at most 5 levels deep).
constexpr int kMaxJsonDepth = 64;

// Reads a whole file as bytes. Throws TGameError with the file system's message.
std::string ReadTextFile(const std::string& path);

// Parses JSON text after checking its size and nesting depth. Throws TGameError with
// the JSON library's message on malformed text.
TJson ParseJsonText(const std::string& text);

// Reads and parses a JSON file (ReadTextFile + ParseJsonText).
TJson ReadJsonFile(const std::string& path);

// The compact serialisation: "{ " members joined by ", " " }", arrays "[" ... "]",
// member names and values separated by " : ", strings escaped byte by byte.
std::string SerializeCompact(const TJson& value);

// FNV-1a over bytes, as 8 upper-case hexadecimal digits.
std::string Fnv1aHex(const std::string& bytes);

// Writes text to path and flushes it to disk. Throws TGameError on failure.
void WriteFileSynced(const std::string& path, const std::string& text);

}  // namespace reedmark
