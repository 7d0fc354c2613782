#pragma once
// Ids of texts that no dialog template holds: tooltips of the picture buttons, file-dialog
// filters and a few words put into other texts. All in the string table (36000..36199).
#include "platform/WinTypes.h"

// Hold buttons: 36000 + (control id - 1003), 1003..1013 (1007 has none).
constexpr UINT IDS_TIP_HOLD_FIRST = 36000;
// Option buttons 1014..1016 by what they stand for: IDS_TIP_OPTIONS + 3 * set + index.
constexpr UINT IDS_TIP_OPTIONS = 36020;
enum OptionTipSet : UINT { kTipsRelease = 0, kTipsUpside = 1, kTipsOhp = 2, kTipsFront = 3, kTipsManual = 4 };
// Direction radios of the selectors: a talker direction, and the centre (nobody speaks).
constexpr UINT IDS_TIP_DIRECTION = 36040;
constexpr UINT IDS_TIP_CENTRE = 36041;
// File-dialog filters; the patterns in brackets stay as they are in every language.
constexpr UINT IDS_FILTER_SETTING_FILES = 36050;
constexpr UINT IDS_FILTER_ALL_FILES = 36051;
constexpr UINT IDS_FILTER_FIRMWARE_FILES = 36052;
// The firmware version that the About box shows when the camera does not tell it.
constexpr UINT IDS_VERSION_UNKNOWN = 36060;
// Why the program delays a suspend, as the desktop lists it.
constexpr UINT IDS_SLEEP_DELAY_REASON = 36061;
// The video window's picture while there is no camera picture.
constexpr UINT IDS_NO_VIDEO = 36062;
