/* Encrypts 16 KiB records (a TLS record's size) with AES-128-GCM and ChaCha20-Poly1305 for about
 * a second each on one thread and prints MiB/s per cipher, as "openssl speed -evp" would. The
 * download benchmark builds it against the Windows build's OpenSSL with and without assembly
 * and runs it under Wine, to show what each HTTPS byte costs the setup. */
#include <windows.h>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <stdio.h>

static double Seconds(void) {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return (double)count.QuadPart / (double)frequency.QuadPart;
}

static int Measure(const char* name, const EVP_CIPHER* cipher) {
  static unsigned char plain[16384], sealed[sizeof plain + EVP_MAX_BLOCK_LENGTH];
  unsigned char key[32] = {1}, iv[12] = {2}, tag[16];
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  long long records = 0;
  double start, elapsed;
  if (context == NULL) return 1;
  start = Seconds();
  do {
    int written = 0, last = 0;
    if (EVP_EncryptInit_ex(context, cipher, NULL, key, iv) != 1 ||
        EVP_EncryptUpdate(context, sealed, &written, plain, (int)sizeof plain) != 1 ||
        EVP_EncryptFinal_ex(context, sealed + written, &last) != 1 ||
        EVP_CIPHER_CTX_ctrl(context, EVP_CTRL_AEAD_GET_TAG, (int)sizeof tag, tag) != 1) {
      fprintf(stderr, "cipher_speed: %s failed: ", name);
      ERR_print_errors_fp(stderr);
      EVP_CIPHER_CTX_free(context);
      return 1;
    }
    ++records;
    elapsed = Seconds() - start;
  } while (elapsed < 1.0);
  EVP_CIPHER_CTX_free(context);
  printf("%s %.1f\n", name, (double)records * sizeof plain / elapsed / 1048576.0);
  return 0;
}

int main(void) {
  int failed = Measure("aes-128-gcm", EVP_aes_128_gcm());
  failed |= Measure("chacha20-poly1305", EVP_chacha20_poly1305());
  return failed;
}
