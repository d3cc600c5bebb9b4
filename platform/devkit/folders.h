#pragma once
// Folders, file names and the program and work folders. Paths are UTF-16 and
// accept both `\` and `/` as separators.

#include <cstdint>

#include "platform/devkit/devkit_export.h"

// Flag of XCreateFolder: create missing parent folders as well.
constexpr uint32_t kCreateParents = 0x1;

// Creates folder `name` inside `parent` (name null or empty: `parent` itself).
// Non-zero when the folder exists afterwards, also when it existed before.
DEVKIT_EXPORT int XCreateFolder(const char16_t *parent, const char16_t *name, uint32_t flags);

// Non-zero when path names an existing regular file.
DEVKIT_EXPORT int XFileExists(const char16_t *path);
// Non-zero when path names an existing folder.
DEVKIT_EXPORT int XFolderExists(const char16_t *path);
// Removes a file. Non-zero on success.
DEVKIT_EXPORT int XDeleteFile(const char16_t *path);

// Size of the file in bytes; 0 when it is missing or not a regular file.
DEVKIT_EXPORT int64_t GetFileSize(const char16_t *path);

// The file-name part of path: the text after the last `\` or `/` (the whole path
// when it has none; null for null).
DEVKIT_EXPORT const char16_t *GetFileName(const char16_t *path);

// Joins folder and name with one `/` into buf (capacity cap units, terminator
// included). A name that is already absolute is copied alone. Returns the length,
// 0 when the result does not fit (buf then holds an empty text).
DEVKIT_EXPORT uint32_t MakeFullPath(const char16_t *folder, const char16_t *name, char16_t *buf,
                                    uint32_t cap);

// The folder of the running program, without a trailing separator, into buf.
// Returns the length, 0 when it is unknown or does not fit.
DEVKIT_EXPORT uint32_t GetProgramFolder(char16_t *buf, uint32_t cap);
// The full path of the running program into buf. Returns the length, 0 on failure.
DEVKIT_EXPORT uint32_t GetProgramFile(char16_t *buf, uint32_t cap);

// The process-wide work folder (at most 320 units; longer paths are refused).
// Until one is set it is the program folder. Non-zero on success.
DEVKIT_EXPORT int SetWorkFolder(const char16_t *path);
DEVKIT_EXPORT uint32_t GetWorkFolder(char16_t *buf, uint32_t cap);
// `name` resolved in the work folder (absolute names unchanged) into buf.
DEVKIT_EXPORT uint32_t GetWorkFile(const char16_t *name, char16_t *buf, uint32_t cap);

// Changes the process's current folder. Non-zero on success.
DEVKIT_EXPORT int SetCurrentFolder(const char16_t *path);
