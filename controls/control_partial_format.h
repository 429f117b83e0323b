// The partial file's format, shared by its writer and its reader (not part of the controls'
// interface: see control_partial.h).
#pragma once

#include <cstdint>
#include <string>

#include "controls/control_partial.h"
#include "results/json_writer.h"

// Every field of the format, in the order a shard writes them.
inline constexpr const char* kFields[] = {
    "format",   "version",     "name",       "document", "alphabet",      "keywords",
    "settings", "controlKind", "seed",       "controls", "expectedCount", "expectedIndependent",
    "real",     "shard",       "statistics", "checksum"};

// Everything a shard writes before the checksum, which is the digest of exactly this text: the
// members up to the statistics, each group on a line of its own, and the separator after them.
// Numbers are the shortest text that reads back as the same double, so a partial read and
// written again gives the same text.
void WritePartialBody(CJsonWriter& json, const ControlPartial& partial);
std::string PartialBody(const ControlPartial& partial);
