#include "app/core/script_document.h"

#include "app/core/document_rules.h"

#include <utility>

namespace mq::app {

std::string ScriptDocument::caption() const { return captionFor(path_, unconfirmed_, modified_); }

void ScriptDocument::setCaption(std::string_view caption)
{
    path_ = pathFromCaption(caption);
    unconfirmed_ = captionIsUnconfirmed(caption);
    modified_ = captionIsModified(caption);
}

void ScriptDocument::setPath(std::string path, bool unconfirmed)
{
    path_ = std::move(path);
    unconfirmed_ = unconfirmed;
    modified_ = false;
}

bool ScriptDocument::setModified(bool modified)
{
    if (modified_ == modified) return false;
    modified_ = modified;
    return true;
}

std::u16string ScriptDocument::load(std::string_view bytes)
{
    std::u16string text;
    stored_ = LoadedScript::fromBytes(bytes, text);
    return text;
}

}  // namespace mq::app
