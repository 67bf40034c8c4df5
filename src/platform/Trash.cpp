#include <gio/gio.h>

#include <cerrno>

#include "platform/FileOps.h"

namespace tonbo::platform {
namespace {

int ErrnoOf(const GError* error) {
  if (!error || error->domain != G_IO_ERROR) return EIO;
  switch (error->code) {
    case G_IO_ERROR_NOT_FOUND:
      return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED:
      return EACCES;
    case G_IO_ERROR_NOT_SUPPORTED:
      return EOPNOTSUPP;
    case G_IO_ERROR_NO_SPACE:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

int MoveToTrash(const std::string& path, std::string* message) {
  // GIO would take "" as the current folder and trash that.
  if (path.empty()) {
    if (message) *message = ErrorText(ENOENT);
    return ENOENT;
  }
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  bool ok = g_file_trash(file, nullptr, &error);
  g_object_unref(file);
  if (ok) return 0;
  int err = ErrnoOf(error);
  // The reason in the program's words: GIO's text follows the session's language.
  if (message) *message = ErrorText(err);
  g_clear_error(&error);
  return err;
}

}  // namespace tonbo::platform
