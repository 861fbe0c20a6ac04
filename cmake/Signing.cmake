# Authenticode signing with osslsigncode.
# A release passes its own certificate and key (PEM) with
#   -DUNINSTALL_SIGN_CERT=... -DUNINSTALL_SIGN_KEY=...
# Otherwise the build makes a throw-away self-signed code-signing certificate
# whose subject CN is the trusted publisher name, plus one of an unrelated
# signer for the tests. Neither is ever committed.
set(UNINSTALL_SIGN_CERT "" CACHE FILEPATH "PEM certificate used to sign the outputs")
set(UNINSTALL_SIGN_KEY "" CACHE FILEPATH "PEM private key used to sign the outputs")

set(SIGNING_DIR ${CMAKE_BINARY_DIR}/signing)

function(make_test_certificate name common_name)
  set(key ${SIGNING_DIR}/${name}.key)
  set(crt ${SIGNING_DIR}/${name}.crt)
  if(NOT EXISTS ${crt})
    file(MAKE_DIRECTORY ${SIGNING_DIR})
    execute_process(
      COMMAND openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -sha256
              -keyout ${key} -out ${crt} -subj "/CN=${common_name}"
              -addext "extendedKeyUsage=codeSigning"
              -addext "keyUsage=digitalSignature"
      RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "openssl could not make the ${name} test certificate")
    endif()
  endif()
endfunction()

if(UNINSTALL_SIGN_CERT AND UNINSTALL_SIGN_KEY)
  set(PUBLISHER_CERT ${UNINSTALL_SIGN_CERT})
  set(PUBLISHER_KEY ${UNINSTALL_SIGN_KEY})
else()
  make_test_certificate(publisher "${UNINSTALL_TRUSTED_PUBLISHER}")
  set(PUBLISHER_CERT ${SIGNING_DIR}/publisher.crt)
  set(PUBLISHER_KEY ${SIGNING_DIR}/publisher.key)
endif()
make_test_certificate(other "${UNINSTALL_OTHER_SIGNER}")
set(OTHER_CERT ${SIGNING_DIR}/other.crt)
set(OTHER_KEY ${SIGNING_DIR}/other.key)

set(SIGN_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/sign-file)

# Signs a target's output in place after every link, with the publisher's
# certificate (or the unrelated one with OTHER).
function(sign_target target)
  cmake_parse_arguments(arg "OTHER" "" "" ${ARGN})
  if(arg_OTHER)
    set(crt ${OTHER_CERT})
    set(key ${OTHER_KEY})
  else()
    set(crt ${PUBLISHER_CERT})
    set(key ${PUBLISHER_KEY})
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${SIGN_SCRIPT} ${crt} ${key} $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
