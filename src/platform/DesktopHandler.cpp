// Whether the desktop has a program for a file, asked of GIO (the same
// associations xdg-open and the file managers use). Kept apart from the Qt
// sources: GLib's headers and Qt's keywords do not mix.
#include <gio/gio.h>

#include <string>

namespace tonbo::platform {

bool HasDesktopHandler(const std::string& diskPath) {
  gboolean uncertain = FALSE;
  gchar* type = g_content_type_guess(diskPath.c_str(), nullptr, 0, &uncertain);
  if (!type) return false;
  bool found = false;
  if (GAppInfo* app = g_app_info_get_default_for_type(type, FALSE)) {
    found = true;
    g_object_unref(app);
  } else if (GList* all = g_app_info_get_all_for_type(type)) {
    found = true;
    g_list_free_full(all, g_object_unref);
  }
  g_free(type);
  return found;
}

}  // namespace tonbo::platform
