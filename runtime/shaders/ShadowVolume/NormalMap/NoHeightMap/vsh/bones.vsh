vs_2_0
dcl_position v0
dcl_normal v1
dcl_texcoord0 v2
dcl_blendweight v3
dcl_blendindices v4
mul r9.x, v4.x, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
mul r0.xyz, r10, v3.x
mul r9.x, v4.y, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
mad r0.xyz, r10, v3.y, r0
mul r9.x, v4.z, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
mad r0.xyz, r10, v3.z, r0
mul r9.x, v4.w, c16.z
mova a0.x, r9.x
m4x3 r10.xyz, v0, c[a0.x + 20]
mad r0.xyz, r10, v3.w, r0
mov r0.w, c16.y
mul r2, r0.x, c0
mad r2, r0.y, c1, r2
mad r2, r0.z, c2, r2
add oPos, r2, c3
mov oT0, v2
mov oT1, v2
