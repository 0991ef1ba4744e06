# The picture types Kestrel opens, one "group:type" entry each. The group names the installation
# window's check box that makes Kestrel the default program for the type ("-": no box). This one
# list feeds the MimeType key of the installed launcher and the program's own associations; the
# types without a shared name are defined by src/desktop/install/kestrel.xml.
set(KESTREL_MIME_TYPES
  bmp:image/bmp
  jpeg:image/jpeg
  gif:image/gif
  wmf:image/wmf
  png:image/png
  tiff:image/tiff
  tga:image/x-tga
  vst:image/x-vst
  afi:image/x-afi
  pcc:image/x-pcc
  pcx:image/vnd.zbrush.pcx
  pcx:image/x-pcx
  dcx:image/x-dcx
  -:image/emf
  -:image/vnd.microsoft.icon)
