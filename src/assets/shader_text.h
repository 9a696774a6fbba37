// The loader's source text as GL is handed it. Desktop GL takes it as it is, newline first
// (shader_text_desktop.cpp); WebGL wants the #version line on the very first line, so the web
// leaves out the newline that the loader puts before every line (shader_text_web.cpp).
#pragma once
#include <string>

const char* shaderTextForGl(const std::string& source);
