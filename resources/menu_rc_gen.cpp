// Build-time tool: writes the Windows resource script, menu 105 (Japanese) and menu 106
// (English), from the menu data every front end shares, so the script is never edited by hand.
// The accelerator table and the sprite bitmap are not resources: the shell reads the one and
// the sprite sheet the other as data.
#include <cstdio>
#include <string>

#include "resources/menu_resource.h"

namespace {

constexpr int kMenuId = 105;
constexpr int kEnglishMenuId = 106;

// A resource-script string literal: quotes are doubled, backslashes escaped.
std::string Quoted(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"') quoted += '"';
    if (*c == '\\') quoted += '\\';
    quoted += *c;
  }
  return quoted + "\"";
}

std::string ItemLine(const MenuResourceItem& item, MenuLanguage language) {
  if (item.text == nullptr) return "    MENUITEM SEPARATOR\n";
  std::string text = Quoted(MenuText(item, language));
  // The key shows after a tab, as the platform's menus show shortcuts.
  if (item.keys != nullptr) text.insert(text.size() - 1, std::string("\\t") + item.keys);
  std::string line = "    MENUITEM " + text + ", " + std::to_string(item.id);
  if (item.checked) line += ", CHECKED";
  if (item.greyed) line += ", GRAYED";
  return line + "\n";
}

std::string Menu(int id, MenuLanguage language) {
  std::string script = "\n" + std::to_string(id) + " MENU\nBEGIN\n";
  for (const MenuResourcePopup* popup : kMenuBar) {
    script += "  POPUP " + Quoted(MenuText(*popup, language)) + "\n  BEGIN\n";
    for (int i = 0; i < popup->count; ++i) script += ItemLine(popup->items[i], language);
    script += "  END\n";
  }
  return script + "END\n";
}

std::string Script() {
  return "// Written by volarin-menu-rc-gen from resources/menu_resource.cpp; do not edit.\n"
         "#pragma code_page(65001)\n" +
         Menu(kMenuId, MenuLanguage::kJapanese) + Menu(kEnglishMenuId, MenuLanguage::kEnglish);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.rc\n", argv[0]);
    return 2;
  }
  const std::string script = Script();
  std::FILE* file = std::fopen(argv[1], "wb");
  const bool written =
      file != nullptr && std::fwrite(script.data(), 1, script.size(), file) == script.size();
  if (file == nullptr || std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
