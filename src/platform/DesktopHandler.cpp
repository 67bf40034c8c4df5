// Whether the desktop has a usable program for a file, asked of GIO (the
// same associations xdg-open and the file managers use). Kept apart from the
// Qt sources: GLib's headers and Qt's keywords do not mix.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <string>

#include "platform/Launcher.h"
#include "platform/Terminal.h"

namespace tonbo::platform {
namespace {

// The type as the opener sees it: by name and, for a file that is there,
// by its first bytes (a README without an extension is text).
gchar* ContentTypeOf(const std::string& diskPath) {
  gchar* type = nullptr;
  GFile* file = g_file_new_for_path(diskPath.c_str());
  if (GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                          G_FILE_QUERY_INFO_NONE, nullptr, nullptr)) {
    if (const char* found = g_file_info_get_content_type(info)) type = g_strdup(found);
    g_object_unref(info);
  }
  g_object_unref(file);
  if (!type) {
    gboolean uncertain = FALSE;
    type = g_content_type_guess(diskPath.c_str(), nullptr, 0, &uncertain);
  }
  return type;
}

// A program that would start and show something: its executable is there,
// and one that runs in a terminal has a terminal to run in. Otherwise the
// opener starts, fails where nobody sees it, and the user waits for nothing.
bool Usable(GAppInfo* app) {
  const char* executable = g_app_info_get_executable(app);
  if (!executable || !*executable) return false;
  gchar* found = g_find_program_in_path(executable);
  if (!found) return false;
  g_free(found);
  if (G_IS_DESKTOP_APP_INFO(app) &&
      g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app), G_KEY_FILE_DESKTOP_KEY_TERMINAL))
    return !FindTerminal().empty();
  return true;
}

}  // namespace

bool HasDesktopHandler(const std::string& diskPath) {
  gchar* type = ContentTypeOf(diskPath);
  if (!type) return false;
  // The opener takes the default program and no other.
  GAppInfo* app = g_app_info_get_default_for_type(type, FALSE);
  g_free(type);
  if (!app) return false;
  const bool usable = Usable(app);
  g_object_unref(app);
  return usable;
}

std::string DefaultProgramFor(const std::string& mimeType, const std::string& ignoredId) {
  std::string id;
  if (GAppInfo* app = g_app_info_get_default_for_type(mimeType.c_str(), FALSE)) {
    if (const char* found = g_app_info_get_id(app)) id = found;
    g_object_unref(app);
  }
  if (id != ignoredId) return id;
  id.clear();
  GList* all = g_app_info_get_all_for_type(mimeType.c_str());
  for (GList* l = all; l && id.empty(); l = l->next)
    if (const char* found = g_app_info_get_id(G_APP_INFO(l->data)); found && ignoredId != found)
      id = found;
  g_list_free_full(all, g_object_unref);
  return id;
}

}  // namespace tonbo::platform
