#pragma once

#include <span>

#include "tools/tarno-cli/CliAcquisition.h"
#include "tools/tarno-cli/CliPublishing.h"

// `tarno-cli measure --live`: the pulse measurements of every power capture as it arrives.
// clang-format off
#define MEASURE_LIVE_USAGE                                                                 \
    "Live: tarno-cli measure --live [--count N] [--out FILE] [--mqtt URL]\n"               \
    "                        [--demo H --signal S [--simulated-time] [--resources DIR]]\n" \
    "  One JSON object per power capture of the first accessory (or the\n"                 \
    "  demonstration) as it arrives, with its UTC time and number, until --count\n"        \
    "  captures or Ctrl-C. Triggered captures only: a rolling time base gives none.\n"     \
    "  --count N          stop after N captures\n"                                         \
    "  --out FILE         write to FILE, which must not exist yet (default: stdout)\n"     \
    TARNO_CLI_MQTT_USAGE                                                                   \
    "                     (the same lines on PREFIX/<serial>/power)\n"                     \
    TARNO_CLI_SOURCE_USAGE
// clang-format on

// `usage` is the measure command's whole usage, printed with a refusal.
int runMeasureLive(std::span<char*> args, const char* usage);
