# The shipped default skin read through the platform's own INI reader and
# picture loader (needs the generated Skins folder of the runnable folder).
if(TARGET vantrel_skins)
  vantrel_wine_test(skin_pictures_test SOURCES win/skin_pictures_test.cpp
    LIBS gtest_main ole32 oleaut32 uuid)
  add_dependencies(skin_pictures_test vantrel_skins)
  set_property(TEST skin_pictures_test APPEND PROPERTY ENVIRONMENT
    "VANTREL_SKIN_DIR=Z:${VANTREL_DIST}/Skins")
endif()
