// Shader program loader: reads the two sources, compiles, links and prints the six log lines.
#include "assets/shader_program.h"

#include "assets/shader_text.h"

#include <cstdio>
#include <fstream>
#include <vector>

std::string readShaderSource(const std::string& path)
{
    std::string text;
    std::ifstream file(path);
    if (!file.is_open()) {
        return text;
    }
    std::string line;
    while (std::getline(file, line)) {
        text += "\n" + line;
    }
    return text;
}

namespace {

// Prints a shader's or program's info log on a line of its own. The buffer holds at least one
// character, so that an empty log still prints as an empty line.
void printInfoLog(GLuint object, PFNGLGETSHADERIVPROC getParameter, PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 0 ? length : 1, '\0');
    getLog(object, length, nullptr, log.data());
    printf("%s\n", log.data());
}

void compileAndLog(GLuint shader, const char* name, const std::string& source)
{
    printf("Compiling shader : %s\n", name);
    const char* text = shaderTextForGl(source);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    printInfoLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

}  // namespace

GLuint loadShaderProgram(const char* vertexFile, const char* fragmentFile)
{
    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);

    std::string vertexSource = readShaderSource(std::string("shader/") + vertexFile);
    std::string fragmentSource = readShaderSource(std::string("shader/") + fragmentFile);

    compileAndLog(vertexShader, vertexFile, vertexSource);
    compileAndLog(fragmentShader, fragmentFile, fragmentSource);

    printf("Linking program\n");
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    printInfoLog(program, glGetProgramiv, glGetProgramInfoLog);

    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    return program;
}

GLuint loadShaderProgramNamed(const std::string& stem)
{
    const std::string vertexFile = stem + shaderFileSuffixes[0];
    const std::string fragmentFile = stem + shaderFileSuffixes[1];
    return loadShaderProgram(vertexFile.c_str(), fragmentFile.c_str());
}
