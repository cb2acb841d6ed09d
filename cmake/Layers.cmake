# The source's layers, from the ground up. A file may include headers from
# its own layer and the layers below it, never from a layer above. Folders
# on one line form one layer.
set(QEL_LAYERS
  "platform"
  "core/base"
  "core/script"
  "core/media"
  "gui world maps combat savefile network"
  "app")
