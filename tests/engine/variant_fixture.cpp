#include "variant_fixture.h"

#include <string>

void addRow(TextTable& table, std::initializer_list<const char*> cells) {
    TextRow row;
    for (const char* text : cells) row.cells.push_back(text);
    table.rows.push_back(row);
}

VariantFixture::VariantFixture() {
    addRow(parent.buttons, {"< Back", "Next >", "Cancel", "Really cancel?"});
    addRow(variant.title, {"Filter Setup"});
    addRow(variant.fewappl, {"Choose the hosts"});
    addRow(variant.buttons, {"", "Finish", "", ""});
    addRow(variant.defaultPluginsDir, {"Plug-ins"});
    addRow(variant.defaultFiltersDir, {"Filters"});
    addRow(variant.adobeRegistryKey, {"SOFTWARE\\Vendor\\Host"});
    addRow(variant.pluginRegistryKey, {"PluginPath"});
    addRow(variant.applicationRegistryKey, {"ApplicationPath"});
    setMessage(0, "No host registry");
    setMessage(2, "Installed into one host");
    setMessage(3, "Installed into %d hosts");
    setMessage(4, "Installed into one host without plug-in directory");
    setMessage(5, "Nothing installed");
    setMessage(6, "Replace %s of %s%s by %s of %s%s?");
    setMessage(7, " (older)", " (newer)");
    setMessage(8, " (newer)", " (older)");
    setMessage(9, "No host found");
    setMessage(10, "Browse", "Point at the host's program");
    setMessage(11, "Quit", "End the installer");
    setMessage(12, "Could not copy %s into %s");
    setMessage(13, "Could not remove %s");
    setMessage(14, "Remove old copies of %s?");
    variant.parentSet = &parent;
    variant.valid = true;
}

void VariantFixture::addFile(const char* name, const char* sourceDir, const char* target, const char* uninstall,
                             const char* install, const char* overwrite) {
    addRow(variant.files, {name, sourceDir, target, uninstall, install, overwrite});
}

void VariantFixture::setMessage(int number, const char* text, const char* second) {
    std::string key = std::to_string(number);
    for (TextRow& row : variant.messages.rows)
        if (!row.cells.empty() && row.cells[0] == key) {
            row.cells.resize(1);
            row.cells.push_back(text);
            if (second) row.cells.push_back(second);
            return;
        }
    TextRow row;
    row.cells = {key, text};
    if (second) row.cells.push_back(second);
    variant.messages.rows.push_back(row);
}
