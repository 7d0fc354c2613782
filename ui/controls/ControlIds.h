#pragma once
// Child ids inside a direction selector.
constexpr int IDC_DIR_RADIO_FIRST = 100;  // radio index i has id 100 + i
constexpr int IDC_ENABLE_TRACKING = 120;  // the "Enable Tracking" check box

// The string of the check box's caption.
constexpr unsigned IDS_ENABLE_TRACKING = 35012;
