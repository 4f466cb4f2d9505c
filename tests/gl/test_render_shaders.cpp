// Shader programs: the compile and link reports, the start-up set of ten programs and the
// uniforms each one receives.
#include "gl_test_support.h"
#include "tests/test_resource_ids.h"
#include "core/resource_ids.h"

#include "render/asset_registry.h"
#include "render/program_setup.h"
#include "render/resources.h"
#include "render/shader_program.h"
#include "render/sprite_renderer.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string separator = "\n -- --------------------------------------------------- -- \n";
const std::string compileHeader = "| ERROR::SHADER: Compile-time error: Type: ";
const std::string linkHeader = "| ERROR::Shader: Link-time error: Type: ";

std::size_t Occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST(ShaderProgram, BrokenFragmentShaderReportsCompileThenLinkAndIsStillStored) {
    AssetRegistry registry;
    ShaderProgram* program = nullptr;
    const std::string output = CapturedOutput([&] { program = registry.LoadShaderProgram(ResourceId::FrameStripVertex, TestResourceId::BrokenFragment, "broken"); });

    EXPECT_EQ(Occurrences(output, compileHeader), 1u);
    EXPECT_EQ(output.rfind(compileHeader + "FRAGMENT\n", 0), 0u) << output;
    const std::size_t link = output.find(linkHeader + "PROGRAM\n");
    ASSERT_NE(link, std::string::npos) << output;
    EXPECT_EQ(Occurrences(output, linkHeader), 1u);
    // Each report ends with the separator line.
    EXPECT_EQ(Occurrences(output, separator), 2u);
    EXPECT_EQ(output.substr(link - separator.size(), separator.size()), separator);
    EXPECT_EQ(output.substr(output.size() - separator.size()), separator);

    ASSERT_NE(program, nullptr);
    EXPECT_EQ(registry.Program("broken"), program);
    EXPECT_TRUE(glIsProgram(program->id));
    registry.ReleaseAll();
}

TEST(ShaderProgram, GoodSourcesBuildSilently) {
    AssetRegistry registry;
    ShaderProgram* program = nullptr;
    EXPECT_EQ(CapturedOutput([&] { program = registry.LoadShaderProgram(ResourceId::TextVertex, ResourceId::TextFragment, "text"); }), "");
    ASSERT_NE(program, nullptr);
    GLint linked = 0;
    glGetProgramiv(program->id, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE);
    registry.ReleaseAll();
}

TEST(ShaderProgram, MissingOrEmptySourceStoresNone) {
    AssetRegistry registry;
    ShaderProgram* program = reinterpret_cast<ShaderProgram*>(1);
    EXPECT_EQ(CapturedOutput([&] { program = registry.LoadShaderProgram(ResourceId::FrameStripVertex, 999, "missing"); }),
              "ERROR::RESOURCE: FindResource failed for ID 999\n"
              "ERROR::SHADER: Failed to load shader resources\n");
    EXPECT_EQ(program, nullptr);
    ASSERT_EQ(registry.programs.count("missing"), 1u);
    EXPECT_EQ(registry.programs.at("missing"), nullptr);

    // A zero-length resource is treated exactly like a missing one, minus the lookup report.
    EXPECT_EQ(CapturedOutput([&] { program = registry.LoadShaderProgram(TestResourceId::EmptyFile, ResourceId::FrameStripFragment, "empty"); }),
              "ERROR::SHADER: Failed to load shader resources\n");
    EXPECT_EQ(program, nullptr);
    registry.ReleaseAll();
}

TEST(ShaderProgram, LoadingANameAgainReplacesTheStoredPointer) {
    AssetRegistry registry;
    ShaderProgram* first = registry.LoadShaderProgram(ResourceId::FrameStripVertex, ResourceId::FrameStripFragment, "sprite_35");
    ShaderProgram* second = registry.LoadShaderProgram(ResourceId::FrameStripVertex, ResourceId::FrameStripFragment, "sprite_35");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->id, second->id);
    EXPECT_EQ(registry.Program("sprite_35"), second);
    EXPECT_EQ(registry.programs.size(), 1u);
    registry.ReleaseAll();
}

TEST(CheckErrors, OnlyTheExactTypeProgramSelectsTheLinkCheck) {
    const std::string broken = LoadTextResource(TestResourceId::BrokenFragment);
    const char* source = broken.c_str();
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);

    // Anything but "PROGRAM" is a compile check, whatever it looks like.
    for (const std::string type : {"program", "Program", "PROGRAMS", "PROGRAM ", "FRAGMENT"}) {
        const std::string output = CapturedOutput([&] { CheckErrors(shader, type); });
        EXPECT_EQ(output.rfind(compileHeader + type + "\n", 0), 0u) << "type '" << type << "': " << output;
    }
    glDeleteShader(shader);

    // "PROGRAM" checks the link status: a linked program passes without a word.
    AssetRegistry registry;
    const ShaderProgram* good = registry.LoadShaderProgram(ResourceId::ScreenQuadVertex, ResourceId::ScreenQuadFragment, "quad");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(CapturedOutput([&] { CheckErrors(good->id, "PROGRAM"); }), "");
    registry.ReleaseAll();
}

TEST(CheckErrors, LongInfoLogIsCutAtTheBufferSize) {
    const std::string source = LoadTextResource(TestResourceId::ManyErrorsFragment);
    const char* text = source.c_str();
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint fullLength = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &fullLength);
    ASSERT_GT(fullLength, 1024) << "the test shader should produce a long log";

    const std::string output = CapturedOutput([&] { CheckErrors(shader, "FRAGMENT"); });
    const std::string header = compileHeader + "FRAGMENT\n";
    ASSERT_EQ(output.rfind(header, 0), 0u);
    ASSERT_EQ(output.substr(output.size() - separator.size()), separator);
    EXPECT_EQ(output.size() - header.size() - separator.size(), 1023u);
    glDeleteShader(shader);
}

GLint UniformInt(GLuint program, const char* name) {
    GLint value = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

GLuint UniformUnsigned(GLuint program, const char* name) {
    GLuint value = 12345;
    glGetUniformuiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

Mat4 UniformMatrix(GLuint program, const char* name) {
    Mat4 matrix;
    glGetUniformfv(program, glGetUniformLocation(program, name), matrix.values.data());
    return matrix;
}

TEST(StartupPrograms, AllTenBuildSilentlyWithTheirUniforms) {
    AssetRegistry registry;
    const Mat4 projection = Mat4::ScreenProjection(1920.0f, 1080.0f);
    const std::string output = CapturedOutput([&] {
        LoadTextProgram(registry, projection);
        LoadScenePrograms(registry, projection);
    });
    EXPECT_EQ(output, "");

    const std::vector<std::string> expected = {"desktop_icon", "particle",    "quad",        "sprite_25_1",
                                               "sprite_25_2",  "sprite_25_3", "sprite_35",   "sprite_36_1",
                                               "sprite_36_2",  "text"};
    std::vector<std::string> names;
    for (const auto& [name, program] : registry.programs) {
        names.push_back(name);
        ASSERT_NE(program, nullptr) << name;
    }
    EXPECT_EQ(names, expected);

    const GLuint text = registry.Program("text")->id;
    EXPECT_EQ(UniformInt(text, "text"), 0);
    EXPECT_EQ(UniformMatrix(text, "projection").values, projection.values);
    for (const char* name : {"sprite_36_1", "sprite_36_2", "sprite_35", "sprite_25_1", "sprite_25_2", "sprite_25_3",
                             "desktop_icon", "particle"}) {
        const GLuint program = registry.Program(name)->id;
        EXPECT_EQ(UniformMatrix(program, "projection").values, projection.values) << name;
        EXPECT_EQ(UniformInt(program, "sprite"), 0) << name;
    }
    // Ten separate GL programs.
    std::vector<GLuint> ids;
    for (const auto& entry : registry.programs) ids.push_back(entry.second->id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());

    // The renderers then give each frame-strip program its frame count once.
    FrameStripRenderers renderers = CreateFrameStripRenderers(registry);
    const std::pair<const char*, GLuint> counts[] = {{"sprite_36_1", 36}, {"sprite_36_2", 36}, {"sprite_35", 35},
                                                     {"sprite_25_1", 25}, {"sprite_25_2", 25}, {"sprite_25_3", 25},
                                                     {"desktop_icon", 1}};
    for (const auto& [name, count] : counts) {
        EXPECT_EQ(UniformUnsigned(registry.Program(name)->id, "number_of_frames"), count) << name;
        EXPECT_EQ(UniformUnsigned(registry.Program(name)->id, "frame"), 0u) << name;
    }
    EXPECT_EQ(renderers.maleWalk->program, registry.Program("sprite_35")->id);
    EXPECT_EQ(renderers.desktopIcon->frameCount, 1u);
    EXPECT_FLOAT_EQ(renderers.soldierHit->frameDuration, 0.03f);

    DestroyCreatureRenderers(renderers);
    EXPECT_EQ(renderers.maleWalk, nullptr);
    EXPECT_EQ(renderers.soldierHit, nullptr);
    EXPECT_NE(renderers.desktopIcon, nullptr);
    renderers.desktopIcon.reset();
    registry.ReleaseAll();
}

TEST(StartupPrograms, MissingProgramsAreSkippedWhenSettingUniforms) {
    AssetRegistry registry;
    registry.programs["sprite_35"] = nullptr;  // as a failed load leaves it
    SetSamplerAndProjection(registry.Program("sprite_35"), "sprite", Mat4::Identity());
    SetSamplerAndProjection(nullptr, "text", Mat4::Identity());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
