// The camera's clock as text. The camera counts seconds since
// 1970-01-01 00:00:00 on its own wall clock, with no time zone, so the
// conversions here do plain calendar arithmetic and never apply an offset.
#pragma once

#include <windows.h>

#include <string>

// "YYYY-MM-DD HH:MM:SS".
std::string formatCameraTime(DWORD time);

// Parses "YYYY-MM-DD HH:MM:SS" (1970 to 2105, every field checked against
// the calendar, 29 February only in leap years); false for anything else.
bool parseCameraTime(const std::string& text, DWORD* time);

// The camera time of a wall-clock reading, such as GetLocalTime gives;
// false when the fields are out of range.
bool cameraTimeFromFields(int year, int month, int day, int hour, int minute, int second, DWORD* time);

// The camera's clock reading for now: this computer's local wall clock.
DWORD cameraTimeNow();
