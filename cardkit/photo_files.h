#pragma once
// The files of a base-message read: photo.wlt (the card's compressed photo),
// photo.bmp (written by the photo decoder plug-in) and photo.jpg.
#include <cstdint>
#include <string>

#include "cardkit/cardkit_export.h"
#include "cardkit/sdt_frame.h"

namespace cardkit {

// A folder private to this process (mode 0700), made with mkdtemp under the
// configured temporary folder on first use; empty when it cannot be made.
// It is removed with everything in it by RemovePrivatePhotoFolder and when
// the process ends normally (a forked child makes and removes its own).
CARDKIT_EXPORT std::string PrivatePhotoFolder();
CARDKIT_EXPORT bool IsPrivatePhotoFolder(const std::string &folder);
CARDKIT_EXPORT void RemovePrivatePhotoFolder();

// Removes photo.wlt, photo.bmp and photo.jpg from `folder` (nothing when it
// is empty), so that no file of an earlier card can be taken for a new one.
CARDKIT_EXPORT void RemovePhotoFiles(const std::string &folder);

// Creates `folder` and every missing parent.
CARDKIT_EXPORT bool MakeFolders(const std::string &folder);

// photo.wlt, photo.bmp and photo.jpg are made with mode 0600.
enum class WltResult { Written, CannotCreate, ShortWrite };
CARDKIT_EXPORT WltResult WritePhotoWlt(const std::string &folder, const uint8_t *photo,
                                       size_t size);

// Loads the configured photo decoder, calls Photodec(wlt_path, mode) and
// unloads it; true when it returned 1 and photo.bmp exists.
CARDKIT_EXPORT bool RunPhotodec(const std::string &wlt_path, int mode);

// photo.bmp -> photo.jpg through our BMP reader and libjpeg.
CARDKIT_EXPORT bool ConvertBmpToJpeg(const std::string &bmp_path, const std::string &jpg_path);

// Reads a whole file, whatever its size.
CARDKIT_EXPORT bool ReadWholeFile(const std::string &path, Bytes *out);
// A new `to` gets mode 0600 when `owner_only`, else what the creation mask allows.
CARDKIT_EXPORT bool CopyWholeFile(const std::string &from, const std::string &to,
                                  bool owner_only = false);

} // namespace cardkit
