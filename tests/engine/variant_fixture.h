// A Variant built by hand for the engine's tests.
#pragma once
#include <initializer_list>

#include "script/model.h"

void addRow(TextTable& table, std::initializer_list<const char*> cells);

// A valid Variant with a title, buttons, registry key names "SOFTWARE\Vendor\Host",
// "PluginPath", "ApplicationPath", the plug-ins name "Plug-ins", the filters name
// "Filters" and the message texts the engine uses. Its parentSet is set.
struct VariantFixture {
    Set parent;
    Variant variant;
    VariantFixture();
    void addFile(const char* name, const char* sourceDir, const char* target, const char* uninstall,
                 const char* install, const char* overwrite);
    void setMessage(int number, const char* text, const char* second = nullptr);
};
