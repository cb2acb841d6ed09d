# The source's layers, from the ground up. A file may include headers from
# its own folder and the layers below it, never from a layer above. Folders
# on one line stand side by side: neither includes the other.
set(QEL_LAYERS
  "platform"
  "core/base"
  "core/script"
  "core/media"
  "gui"
  "combat"
  "world"
  "maps"
  "network savefile"
  "app")

# What the layer check reads: every file of src/ and tests/ with one of these
# extensions.
set(QEL_SOURCE_EXTENSIONS c cc cpp cxx h hh hpp hxx inl ipp tpp)

# The fixtures in tests/support that reach the engine, each with the lowest
# layer it needs: it goes into the support library of that layer and of every
# layer above (CMakeLists.txt), and the layer check holds it to that layer.
# The other files of tests/support with a .cpp of their own go into every
# test program, so they include nothing above the ground.
set(QEL_ENGINE_FIXTURES
  "TestWiring platform"
  "AllegroTestEnv platform"
  "VideoBitmapFixture platform"
  "ScriptedRandom core/base"
  "LuaTestState core/script"
  "LayerLuaFunctions core/script"
  "SampleGameScripts core/media"
  "DialogueBoxFixture world"
  "ScenePlayer world")
