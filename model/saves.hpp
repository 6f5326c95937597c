// Save files: a wrapper {schema, checksum, timestamp, state} around a verbatim copy of
// the campaign document, written in the compact serialisation, and the consistency
// check both saving and loading apply.
#pragma once

#include <string>

namespace reedmark {

class TGame;

constexpr int kSaveSchema = 1;

// FNV-1a of the compact serialisation of the document, 8 upper-case hex digits.
std::string Checksum(const TGame& game);
// The compact serialisation of the document ("null" when there is none).
std::string SerializeDocument(const TGame& game);
// "" when the document is consistent, else the first failing check's message.
std::string Validate(const TGame& game);
// Writes path.tmp (flushed to disk), keeps the previous file as path.bak, then renames
// the new file into place. Throws TGameError; nothing is written for an invalid campaign.
void SaveCampaign(const TGame& game, const std::string& path);
// Replaces the campaign by the one in path. Throws TGameError; on every failure the
// running campaign is unchanged.
void LoadCampaign(TGame& game, const std::string& path);

}  // namespace reedmark
