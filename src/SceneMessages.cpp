#include "SceneMessages.h"

namespace SceneMessages {

namespace {

std::string ShortName(const std::string& name)
{
    if (name.size() <= MAX_NAME_LENGTH) return name;
    // Not inside a character of a UTF-8 name.
    size_t length = MAX_NAME_LENGTH - 3;
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
    return name.substr(0, length) + "...";
}

}  // namespace

const char* const DAMAGED = "Scene not loaded:\nthe scene is damaged";
const char* const NOT_SAVED = "Scene not saved:\ncannot write the file";

std::string NoFileDialog(const char* problem) { return std::string("No file dialog:\n") + (problem ? problem : ""); }

std::string NotLoaded(SceneFile::EProblem problem)
{
    const char* why = "cannot read the file";
    switch (problem) {
    case SceneFile::EProblem_NotAScene:
        why = "not a scene file";
        break;
    case SceneFile::EProblem_OtherPlugin:
        why = "from another plug-in";
        break;
    case SceneFile::EProblem_CutShort:
        why = "the file is cut short";
        break;
    case SceneFile::EProblem_None:
    case SceneFile::EProblem_Unreadable:
        break;
    }
    return std::string("Scene not loaded:\n") + why;
}

std::string Loaded(const std::string& name) { return "Scene loaded:\n" + ShortName(name); }

std::string Saved(const std::string& name) { return "Scene saved:\n" + ShortName(name); }

std::string Exists(const std::string& fileName) { return "Scene not saved:\n" + ShortName(fileName) + " exists"; }

}  // namespace SceneMessages
