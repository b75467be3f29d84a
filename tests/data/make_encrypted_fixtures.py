#!/usr/bin/python3
"""Writes the password-protected fixtures: tests/data/encrypted-*/ and tests/data/encrypted/.

Run with Debian's /usr/bin/python3 after make_fixtures.py and make_office_fixtures.py;
needs LibreOffice with its Python bridge (libreoffice-calc-nogui, python3-uno),
python3-cryptography, python3-msoffcrypto-tool and libgsf-bin's `gsf`. With the
argument encrypted-xlsx-short-stream it writes that folder alone (no LibreOffice).

Each encrypted-*/ folder holds basic/'s workbook saved with a password, basic's
expected.xml and, unless the password is Excel's default, password.txt:
- encrypted-xls-rc4/, encrypted-xls-default/: by LibreOffice, RC4 with a 40-bit MD5
  key ([MS-OFFCRYPTO] 2.3.6);
- encrypted-xlsx-standard/: by LibreOffice, Standard encryption, AES-128 (2.3.4.5);
- encrypted-xlsx-agile/, encrypted-xlsx-agile-default/: Agile encryption (2.3.4.10) as
  Excel writes it (AES-256, SHA-512, 100,000 rounds), made here with AES from
  python3-cryptography and checked by decrypting with msoffcrypto-tool, which shares
  no code with Zerova;
- encrypted-xlsx-short-stream/: a zip cut short (no central directory, every other
  member with a data descriptor), encrypted as encrypted-xlsx-standard/, in an OLE2
  file declaring the EncryptedPackage stream a sector longer than its chain.
encrypted/ holds Agile variants (other hashes and key sizes, a damaged HMAC), and
fuzz/seeds/ooxml_crypto/ the fuzzer's seeds (EncryptionInfo and EncryptedPackage).
"""

import base64
import hashlib
import hmac
import io
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

import msoffcrypto
import olefile
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BASIC = os.path.join(HERE, 'basic')
DEFAULT_PASSWORD = 'VelvetSweatshop'

HASHES = {'SHA1': hashlib.sha1, 'SHA256': hashlib.sha256, 'SHA384': hashlib.sha384,
          'SHA512': hashlib.sha512}
BLOCK_VERIFIER_INPUT = bytes([0xFE, 0xA7, 0xD2, 0x76, 0x3B, 0x4B, 0x9E, 0x79])
BLOCK_VERIFIER_VALUE = bytes([0xD7, 0xAA, 0x0F, 0x6D, 0x30, 0x61, 0x34, 0x4E])
BLOCK_KEY_VALUE = bytes([0x14, 0x6E, 0x0B, 0xE7, 0xAB, 0xAC, 0xD0, 0xD6])
BLOCK_HMAC_KEY = bytes([0x5F, 0xB2, 0xAD, 0x01, 0x0C, 0xB9, 0xE1, 0xF6])
BLOCK_HMAC_VALUE = bytes([0xA0, 0x67, 0x7F, 0x02, 0xB2, 0x2C, 0x84, 0x33])


def folder(name):
    path = os.path.join(HERE, name)
    os.makedirs(path, exist_ok=True)
    return path


def fixture(name, source_name, data, password):
    """Writes an encrypted-* folder: the input, basic's document and the password."""
    path = folder(name)
    with open(os.path.join(path, source_name), 'wb') as f:
        f.write(data)
    shutil.copyfile(os.path.join(BASIC, 'expected.xml'), os.path.join(path, 'expected.xml'))
    if password != DEFAULT_PASSWORD:
        with open(os.path.join(path, 'password.txt'), 'w', encoding='utf-8') as f:
            f.write(password + '\n')


class LibreOffice:
    """A headless LibreOffice, driven through its Python bridge."""

    def __enter__(self):
        import uno
        self.uno = uno
        self.work = tempfile.mkdtemp()
        pipe = 'zerova-fixtures-%d' % os.getpid()
        self.process = subprocess.Popen(
            ['soffice', '--headless', '--norestore', '--invisible',
             '-env:UserInstallation=file://' + os.path.join(self.work, 'profile'),
             '--accept=pipe,name=%s;urp;' % pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        context = uno.getComponentContext()
        resolver = context.ServiceManager.createInstanceWithContext(
            'com.sun.star.bridge.UnoUrlResolver', context)
        for _ in range(200):
            try:
                remote = resolver.resolve(
                    'uno:pipe,name=%s;urp;StarOffice.ComponentContext' % pipe)
                break
            except Exception:
                time.sleep(0.2)
        else:
            raise RuntimeError('LibreOffice did not start')
        self.desktop = remote.ServiceManager.createInstanceWithContext(
            'com.sun.star.frame.Desktop', remote)
        return self

    def __exit__(self, *exc):
        os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    def _property(self, name, value):
        from com.sun.star.beans import PropertyValue
        p = PropertyValue()
        p.Name, p.Value = name, value
        return p

    def save_with_password(self, source, extension, password):
        """`source` saved as .xls or .xlsx (Standard encryption) with `password`."""
        from com.sun.star.beans import NamedValue
        uno = self.uno
        copy = os.path.join(self.work, 'source' + os.path.splitext(source)[1])
        shutil.copyfile(source, copy)
        doc = self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(copy), '_blank', 0,
                                                (self._property('Hidden', True),))
        target = os.path.join(self.work, 'saved.' + extension)
        if extension == 'xls':
            props = (self._property('FilterName', 'MS Excel 97'),
                     self._property('Password', password))
        else:
            data = []
            for name, value in (('OOXPassword', password), ('CryptoType', 'Standard')):
                v = NamedValue()
                v.Name, v.Value = name, value
                data.append(v)
            props = (self._property('FilterName', 'Calc MS Excel 2007 XML'),
                     self._property('EncryptionData',
                                    uno.Any('[]com.sun.star.beans.NamedValue', tuple(data))))
        uno.invoke(doc, 'storeToURL', (uno.systemPathToFileUrl(target),
                                       uno.Any('[]com.sun.star.beans.PropertyValue', props)))
        doc.close(True)
        with open(target, 'rb') as f:
            return f.read()


def aes_cbc(key, iv, data):
    padded = data + b'\0' * (-len(data) % 16)
    encryptor = Cipher(algorithms.AES(key), modes.CBC(iv)).encryptor()
    return encryptor.update(padded) + encryptor.finalize()


def fit(data, size):
    return data[:size] if len(data) >= size else data + b'\x36' * (size - len(data))


def agile_streams(package, password, hash_name='SHA512', key_bits=256, spin_count=100000,
                  seed=1, tamper=False):
    """EncryptionInfo and EncryptedPackage of `package` under Agile encryption."""
    rnd = random.Random(seed)
    H = HASHES[hash_name]
    key_bytes, hash_size = key_bits // 8, H().digest_size
    secret_key, data_salt, password_salt, verifier = (rnd.randbytes(n)
                                                     for n in (key_bytes, 16, 16, 16))
    h = H(password_salt + password.encode('utf-16-le')).digest()
    for i in range(spin_count):
        h = H(struct.pack('<I', i) + h).digest()

    def password_key(block):
        return fit(H(h + block).digest(), key_bytes)

    encrypted = struct.pack('<Q', len(package))
    for i in range(0, len(package), 4096):
        iv = fit(H(data_salt + struct.pack('<I', i // 4096)).digest(), 16)
        encrypted += aes_cbc(secret_key, iv, package[i:i + 4096])
    hmac_key = rnd.randbytes(hash_size)
    hmac_value = hmac.new(hmac_key, encrypted, H).digest()
    if tamper:
        encrypted = encrypted[:-1] + bytes([encrypted[-1] ^ 1])

    def b64(data):
        return base64.b64encode(data).decode()

    common = ('saltSize="16" blockSize="16" keyBits="%d" hashSize="%d" cipherAlgorithm="AES" '
              'cipherChaining="ChainingModeCBC" hashAlgorithm="%s"' % (key_bits, hash_size,
                                                                        hash_name))
    xml = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
        '<encryption xmlns="http://schemas.microsoft.com/office/2006/encryption" '
        'xmlns:p="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
        '<keyData %s saltValue="%s"/>'
        '<dataIntegrity encryptedHmacKey="%s" encryptedHmacValue="%s"/>'
        '<keyEncryptors><keyEncryptor '
        'uri="http://schemas.microsoft.com/office/2006/keyEncryptor/password">'
        '<p:encryptedKey spinCount="%d" %s saltValue="%s" encryptedVerifierHashInput="%s" '
        'encryptedVerifierHashValue="%s" encryptedKeyValue="%s"/>'
        '</keyEncryptor></keyEncryptors></encryption>') % (
        common, b64(data_salt),
        b64(aes_cbc(secret_key, fit(H(data_salt + BLOCK_HMAC_KEY).digest(), 16), hmac_key)),
        b64(aes_cbc(secret_key, fit(H(data_salt + BLOCK_HMAC_VALUE).digest(), 16), hmac_value)),
        spin_count, common, b64(password_salt),
        b64(aes_cbc(password_key(BLOCK_VERIFIER_INPUT), password_salt, verifier)),
        b64(aes_cbc(password_key(BLOCK_VERIFIER_VALUE), password_salt, H(verifier).digest())),
        b64(aes_cbc(password_key(BLOCK_KEY_VALUE), password_salt, secret_key)))
    info = struct.pack('<HHI', 4, 4, 0x40) + xml.encode()
    return info, encrypted, secret_key, hash_size


def compound_file(streams):
    """An OLE2 file holding `streams` (name -> bytes), written by libgsf's `gsf createole`."""
    with tempfile.TemporaryDirectory() as work:
        names = []
        for name, data in streams.items():
            with open(os.path.join(work, name), 'wb') as f:
                f.write(data)
            names.append(name)
        subprocess.run(['gsf', 'createole', 'out.ole'] + names, cwd=work, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(os.path.join(work, 'out.ole'), 'rb') as f:
            return f.read()


def check_decrypts(data, password, package, secret_key, hash_size):
    """msoffcrypto-tool must derive `secret_key` from `password` and, with it, give back
    `package` after checking the HMAC. Its own limits: it takes the whole decrypted key
    block as the key (so only the key's first bytes are compared) and compares digests
    with their block padding (so HMACs are checked only when the digest fills whole
    AES blocks)."""
    office = msoffcrypto.OfficeFile(io.BytesIO(data))
    office.load_key(password=password)
    assert office.secret_key[:len(secret_key)] == secret_key, 'another key from the password'
    office = msoffcrypto.OfficeFile(io.BytesIO(data))
    office.load_key(secret_key=secret_key)
    out = io.BytesIO()
    office.decrypt(out, verify_integrity=hash_size % 16 == 0)
    assert out.getvalue() == package, 'msoffcrypto-tool does not give the package back'


def streams_of(data):
    ole = olefile.OleFileIO(data)
    return ole.openstream('EncryptionInfo').read(), ole.openstream('EncryptedPackage').read()


def seed(name, info, package):
    with open(os.path.join(ROOT, 'fuzz', 'seeds', 'ooxml_crypto', name), 'wb') as f:
        f.write(struct.pack('<I', len(info)) + info + package)


def zip_without_directory(package):
    """`package`'s members deflated again, each after its local header, and no central
    directory; every other member leaves its sizes to a data descriptor after its data."""
    out = b''
    for i, info in enumerate(zipfile.ZipFile(io.BytesIO(package)).infolist()):
        data = zipfile.ZipFile(io.BytesIO(package)).read(info.filename)
        deflate = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = deflate.compress(data) + deflate.flush()
        crc, name = zlib.crc32(data), info.filename.encode()
        later = i % 2 == 1
        sizes = (0, 0, 0) if later else (crc, len(packed), len(data))
        out += struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, 8 if later else 0, 8, 0, 0x21,
                           *sizes, len(name), 0) + name + packed
        if later:
            out += struct.pack('<IIII', 0x08074B50, crc, len(packed), len(data))
    return out


def standard_key(info, password):
    """The AES key of Standard encryption ([MS-OFFCRYPTO] 2.3.4.7) that `info`, an
    EncryptionInfo stream of AES-128, makes of `password`; checked with its verifier."""
    header_size = struct.unpack_from('<I', info, 8)[0]
    at = 12 + header_size
    salt, verifier, verifier_hash = info[at + 4:at + 20], info[at + 20:at + 36], info[at + 40:at + 72]
    h = hashlib.sha1(salt + password.encode('utf-16-le')).digest()
    for i in range(50000):
        h = hashlib.sha1(struct.pack('<I', i) + h).digest()
    h = hashlib.sha1(h + struct.pack('<I', 0)).digest()
    key = (hashlib.sha1(bytes(b ^ 0x36 for b in h.ljust(64, b'\0'))).digest() +
           hashlib.sha1(bytes(b ^ 0x5C for b in h.ljust(64, b'\0'))).digest())[:16]
    decrypt = Cipher(algorithms.AES(key), modes.ECB()).decryptor()
    plain = decrypt.update(verifier + verifier_hash) + decrypt.finalize()
    assert hashlib.sha1(plain[:16]).digest() == plain[16:36], 'not the password of the header'
    return key


def lengthen_stream(data, name, extra):
    """The compound file `data` with the directory entry of stream `name` declaring
    `extra` bytes more than it holds ([MS-CFB] 2.6: 128-byte entries, the name in
    UTF-16LE, the size at byte 120). The directory must lie in one sector."""
    sector = 1 << struct.unpack_from('<H', data, 30)[0]
    start = (struct.unpack_from('<I', data, 48)[0] + 1) * sector
    wanted = name.encode('utf-16-le')
    out = bytearray(data)
    for at in range(start, start + sector, 128):
        if out[at:at + len(wanted)] == wanted:
            size = struct.unpack_from('<I', out, at + 120)[0]
            struct.pack_into('<I', out, at + 120, size + extra)
            assert size + extra <= len(data), 'the stream would outgrow the file'
            return bytes(out)
    raise RuntimeError('no stream ' + name)


def short_stream():
    """encrypted-xlsx-short-stream/, from encrypted-xlsx-standard/ and basic/."""
    with open(os.path.join(BASIC, 'input.xlsx'), 'rb') as f:
        package = zip_without_directory(f.read())
    standard = os.path.join(HERE, 'encrypted-xlsx-standard')
    with open(os.path.join(standard, 'password.txt'), encoding='utf-8') as f:
        password = f.read().rstrip('\n')
    with open(os.path.join(standard, 'input.xlsx'), 'rb') as f:
        info = olefile.OleFileIO(f.read()).openstream('EncryptionInfo').read()
    encrypt = Cipher(algorithms.AES(standard_key(info, password)), modes.ECB()).encryptor()
    padded = package + b'\0' * (-len(package) % 16)
    encrypted = struct.pack('<Q', len(package)) + encrypt.update(padded) + encrypt.finalize()
    data = compound_file({'EncryptionInfo': info, 'EncryptedPackage': encrypted})
    office = msoffcrypto.OfficeFile(io.BytesIO(data))
    office.load_key(password=password)
    out = io.BytesIO()
    try:  # msoffcrypto-tool writes what it decrypts, then refuses a zip without a directory
        office.decrypt(out)
    except msoffcrypto.exceptions.InvalidKeyError:
        pass
    assert out.getvalue() == package, 'msoffcrypto-tool does not give the package back'
    sector = 1 << struct.unpack_from('<H', data, 30)[0]
    fixture('encrypted-xlsx-short-stream', 'input.xlsx',
            lengthen_stream(data, 'EncryptedPackage', sector), password)


def main():
    if sys.argv[1:] == ['encrypted-xlsx-short-stream']:
        short_stream()
        return
    with open(os.path.join(BASIC, 'input.xlsx'), 'rb') as f:
        package = f.read()
    xls = os.path.join(BASIC, 'input.xls')

    with LibreOffice() as office:
        fixture('encrypted-xls-rc4', 'input.xls', office.save_with_password(xls, 'xls', 'pässwörd'),
                'pässwörd')
        default_xls = office.save_with_password(xls, 'xls', DEFAULT_PASSWORD)
        fixture('encrypted-xls-default', 'input.xls', default_xls, DEFAULT_PASSWORD)
        standard = office.save_with_password(xls, 'xlsx', 'Standard AES')
        fixture('encrypted-xlsx-standard', 'input.xlsx', standard, 'Standard AES')
        seed('standard-default.bin',
             *streams_of(office.save_with_password(xls, 'xlsx', DEFAULT_PASSWORD)))

    for name, password in (('encrypted-xlsx-agile', 'Agile ключ'),
                           ('encrypted-xlsx-agile-default', DEFAULT_PASSWORD)):
        info, encrypted, key, hash_size = agile_streams(package, password)
        data = compound_file({'EncryptionInfo': info, 'EncryptedPackage': encrypted})
        check_decrypts(data, password, package, key, hash_size)
        fixture(name, 'input.xlsx', data, password)

    # Variants for the decryption's tests, each with the password "variant".
    variants = folder('encrypted')
    for hash_name, key_bits, spin_count, tamper in (('SHA1', 128, 1000, False),
                                                    ('SHA256', 192, 10, False),
                                                    ('SHA384', 256, 0, False),
                                                    ('SHA512', 256, 100, True)):
        info, encrypted, key, hash_size = agile_streams(package, 'variant', hash_name, key_bits,
                                                        spin_count, seed=key_bits + spin_count,
                                                        tamper=tamper)
        data = compound_file({'EncryptionInfo': info, 'EncryptedPackage': encrypted})
        if not tamper:
            check_decrypts(data, 'variant', package, key, hash_size)
        name = 'agile-%s-aes%d%s.xlsx' % (hash_name.lower(), key_bits,
                                          '-damaged-hmac' if tamper else '')
        with open(os.path.join(variants, name), 'wb') as f:
            f.write(data)

    short_stream()

    for hash_name, key_bits in (('SHA1', 128), ('SHA512', 256)):
        seed('agile-%s-default.bin' % hash_name.lower(),
             *agile_streams(package, DEFAULT_PASSWORD, hash_name, key_bits, 50, seed=7)[:2])


if __name__ == '__main__':
    main()
