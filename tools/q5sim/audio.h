// Voice file conversions between the server's VOX format (Dialogic ADPCM,
// 8 kHz mono, headerless) and WAV (8 kHz, 16-bit PCM, mono), through
// libsndfile. Output is written to a temporary file beside the target and
// renamed over it, so a failed conversion leaves no partial file.
//
// Thread rule: stateless functions; any thread.
#pragma once

#include <filesystem>
#include <string>

namespace q5sim {

inline constexpr int kVoiceRate = 8000;

// Reads `vox` and writes `wav`. False with `error` set when the source cannot
// be read or the target cannot be written.
bool VoxToWav(const std::filesystem::path& vox, const std::filesystem::path& wav, std::string& error);
// Reads any sound file that libsndfile understands (WAV in practice), mixes it
// down to mono, resamples it to 8 kHz and writes `vox`.
bool WavToVox(const std::filesystem::path& wav, const std::filesystem::path& vox, std::string& error);
// Writes a short synthetic voice-like VOX recording (a few gliding tones);
// `variant` changes the pitch so recordings differ.
bool WriteSyntheticVox(const std::filesystem::path& vox, double seconds, int variant, std::string& error);

}  // namespace q5sim
