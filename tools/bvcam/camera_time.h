// The camera's clock as text. The camera keeps UTC, counted in seconds
// since 1970-01-01 00:00:00; people read and type this computer's local
// time, so the text is local time, summer time included, as the library's
// settings dialog shows it.
#pragma once

#include <windows.h>

#include <string>

// "YYYY-MM-DD HH:MM:SS", in local time.
std::string formatCameraTime(DWORD time);

// Parses a local "YYYY-MM-DD HH:MM:SS" (1970 to 2105, every field checked
// against the calendar, 29 February only in leap years) into the camera's
// UTC count; false for anything else or a time the count cannot hold.
bool parseCameraTime(const std::string& text, DWORD* time);

// The count of a calendar reading taken as it is, with no offset; false
// when the fields are out of range.
bool cameraTimeFromFields(int year, int month, int day, int hour, int minute, int second, DWORD* time);

// The camera's clock reading for now: this computer's clock in UTC.
DWORD cameraTimeNow();
