// The texts of the editor's message line for file actions: two short lines,
// what happened and why, sized for the line's room.
#pragma once

#include <string>

#include "SceneFile.h"

namespace SceneMessages {

// Names longer than this are cut, with "..." after them.
const size_t MAX_NAME_LENGTH = 18;

extern const char* const DAMAGED;
extern const char* const NOT_SAVED;

std::string NoFileDialog(const char* problem);
std::string NotLoaded(SceneFile::EProblem problem);
std::string Loaded(const std::string& name);
std::string Saved(const std::string& name);
// Not saved: a file of that name is there already.
std::string Exists(const std::string& fileName);

}  // namespace SceneMessages
