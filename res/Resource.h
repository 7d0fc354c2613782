#pragma once
// Resource ids shared across areas: commands, menus, dialog templates, icons.
// Control ids that belong to one window live beside that window's code.

// Commands (menu 136 of the controller dialog and tray menu 193).
constexpr unsigned ID_FILE_EXPORT = 32771;
constexpr unsigned ID_FILE_IMPORT = 32772;
constexpr unsigned ID_SETTINGS = 32773;
constexpr unsigned ID_APP_ABOUT = 32774;
constexpr unsigned ID_CLOSE_CONTROLLER = 32775;
constexpr unsigned ID_SHOW_CONTROLLER = 32776;
constexpr unsigned ID_ALWAYS_ON_TOP = 32779;
constexpr unsigned ID_FIRMWARE_UPDATE = 32780;
constexpr unsigned ID_VIDEO_WINDOW = 32781;
constexpr unsigned ID_APP_EXIT = 57665;

// Menus.
constexpr unsigned IDR_CONTROLLER_MENU = 136;
constexpr unsigned IDR_TRAY_MENU = 193;

// Dialog templates.
constexpr unsigned IDD_ABOUTBOX = 100;
constexpr unsigned IDD_CONTROLLER = 102;
constexpr unsigned IDD_SETTINGS = 129;
constexpr unsigned IDD_FIRMWARE_UPDATE = 205;
constexpr unsigned IDD_VIDEO = 206;

// Texts of a dialog template in a language catalogue: item 0 is the caption; items without
// an id of their own (labels, group boxes) count down from 0xFFFF in the template's order.
constexpr unsigned IDC_CAPTION = 0;
constexpr unsigned IDC_STATIC_FIRST = 0xFFFF;

// Icons.
constexpr unsigned IDR_MAINFRAME = 128;

// Timers.
constexpr unsigned IDT_HIDE_TRAY = 100;
