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
