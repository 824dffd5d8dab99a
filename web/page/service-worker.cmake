# cmake -DSITE_DIR=<folder> -DTEMPLATE=<service-worker.js.in> -P service-worker.cmake
# Writes <folder>/service-worker.js: its cache holds every file the folder
# holds now (the module included), under a name made from their contents.
file(GLOB files LIST_DIRECTORIES false RELATIVE ${SITE_DIR} ${SITE_DIR}/*)
list(REMOVE_ITEM files service-worker.js)
list(SORT files)
set(digests "")
set(SITE_FILES "'./'")
foreach(file ${files})
  file(SHA256 ${SITE_DIR}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND SITE_FILES ", '${file}'")
endforeach()
string(SHA256 SITE_HASH "${digests}")
string(SUBSTRING ${SITE_HASH} 0 16 SITE_HASH)
file(READ ${TEMPLATE} worker)
string(CONFIGURE "${worker}" worker @ONLY)
file(WRITE ${SITE_DIR}/service-worker.js "${worker}")
