# The web page's tests (tests/web), on the web build (scripts/build-web; scripts/test builds it): node
# scripts that serve the page on 127.0.0.1 and drive Debian's Chromium headless through
# puppeteer-core (installed into tests/web/node_modules by scripts/test with npm ci), and the
# steps that say whether the show works in Firefox ESR and in WebKitGTK (engines.test.mjs). Each
# takes the two cores for itself: the browser renders in software, and the music tests listen in
# real time.
find_program(LUMARQ_NODE node REQUIRED)
set(web_environment
  LUMARQ_WEB_RUN_DIR=${LUMARQ_WEB_RUN_DIR} LUMARQ_RUN_DIR=${LUMARQ_RUN_DIR}
  LUMARQ_DIST_DIR=${LUMARQ_DIST_DIR} LUMARQ_VERSION=${PROJECT_VERSION})
foreach(name stills page look music bad-input release)
  add_test(NAME web_${name} COMMAND ${LUMARQ_NODE} --test ${CMAKE_CURRENT_LIST_DIR}/${name}.test.mjs)
  set_tests_properties(web_${name} PROPERTIES
    ENVIRONMENT "${web_environment}" TIMEOUT 600 RUN_SERIAL TRUE LABELS web FIXTURES_REQUIRED web_build)
endforeach()
foreach(engine firefox webkit)
  add_test(NAME web_${engine} COMMAND ${CMAKE_CURRENT_LIST_DIR}/run-engine ${LUMARQ_NODE})
  set_tests_properties(web_${engine} PROPERTIES
    ENVIRONMENT "${web_environment};LUMARQ_WEB_ENGINE=${engine}" TIMEOUT 600 RUN_SERIAL TRUE LABELS web
    FIXTURES_REQUIRED web_build)
endforeach()
