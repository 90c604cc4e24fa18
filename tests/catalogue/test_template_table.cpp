// Looking up the menu templates and the toolbar snippets. (Every text they
// insert is compared byte for byte in tests/app/test_editor.cpp.)
#include "catalogue/script_templates.h"

#include <doctest/doctest.h>

#include <string>
#include <tuple>

using namespace mq::catalogue;

TEST_CASE("the snippet menus hold their entries in order")
{
    std::string seen;
    for (const auto& e : snippetMenuEntries()) {
        seen += std::string(e.buttonKey) + ":" + std::string(e.snippet.name) + " ";
        CHECK(!e.snippet.focusAfter);
    }
    CHECK(seen ==
          "dos:if dos:fordo awk:colum awk:plottext awk:ploteach "
          "awk:extract awk:value_filter ");
}

TEST_CASE("templates and snippets are found by their exact key only")
{
    const std::tuple<bool, const char*, const char*> rows[] = {
        // snippet?, key, caption ("": none)
        {true, "if", "If ... question"},
        {true, "If", ""},
        {true, "IF", ""},
        {true, "if ", ""},
        {true, "value", ""},  // a prefix
        {true, "", ""},
        {true, "value_filter", "Filter lines by value"},
        {true, "mn_echo", ""},  // a template is no snippet
        {false, "mn_echo", "&echo *"},
        {false, "MN_ECHO", ""},
        {false, "mn_date_time", "Date && Time"},
        {false, "mn_gmtconvert", "gmtconvert (binary2ascii)"},
        {false, "mn_rem", ""},           // the comment toggle
        {false, "mn_gmt_defaults", ""},  // the defaults window
        {false, "if", ""},               // a snippet key
    };
    for (const auto& [snippet, key, caption] : rows) {
        CAPTURE(key);
        const ScriptTemplate* found = snippet ? findSnippet(key) : findTemplate(key);
        CHECK((found ? std::string(found->name) + "|" + std::string(found->caption) : "") ==
              (*caption ? std::string(key) + "|" + caption : ""));
    }
}
