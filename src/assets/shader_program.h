// Builds a GL program from a pair of GLSL files under shader/, printing the compile and link logs.
#pragma once
#include <glad/gl.h>

#include <string>

// The text handed to GL for a file's lines: each line preceded by a newline, none after the last.
// An unreadable file gives an empty text.
std::string readShaderSource(const std::string& path);

// Always returns the program id, linked or not; the caller owns it.
GLuint loadShaderProgram(const char* vertexFile, const char* fragmentFile);

// A program's two source files are its stem ("Toon") with these endings, vertex stage first.
inline constexpr const char* shaderFileSuffixes[2] = {".vertexshader", ".fragmentshader"};

// loadShaderProgram on the two files of the program `stem`.
GLuint loadShaderProgramNamed(const std::string& stem);
